#include "jobs/GoldenRun.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "common/Messages.h"

namespace jobs {
namespace {

constexpr std::string_view kStampLine = "# stamp ";
constexpr std::size_t kPayloadBytes = wire::FrameSplitter::kFrameBytes - 1;

}  // namespace

std::filesystem::path GoldenPath(const std::filesystem::path& jobPath) {
    std::filesystem::path path = jobPath;
    path += ".golden";
    return path;
}

// A frame sent again before any acknowledgement is the same frame resent, whether the controller
// asked for it or the tick ran out; identical frames that were each acknowledged are both kept.
WireSummary Summarise(const std::vector<wire::Line>& lines) {
    WireSummary summary;
    bool acknowledged = true;
    for (const wire::Line& line : lines) {
        if (line.direction == wire::Direction::Rx) {
            if (line.meaning == wire::Meaning::Acknowledge)
                acknowledged = true;
            else if (line.meaning == wire::Meaning::Unexpected)
                summary.unexpected += static_cast<int>(line.bytes.size());
            continue;
        }
        if (line.bytes.size() != wire::FrameSplitter::kFrameBytes)
            continue;
        std::vector<std::uint8_t> frame(line.bytes.begin(),
                                        line.bytes.begin() + static_cast<long>(kPayloadBytes));
        if (!acknowledged && !summary.frames.empty() && summary.frames.back() == frame)
            ++summary.resends;
        else
            summary.frames.push_back(std::move(frame));
        acknowledged = false;
    }
    return summary;
}

bool GoldenCheck::Matches() const {
    return extraResends == 0 && extraUnexpected == 0 && goldenFrames == unitFrames &&
           differentFrames.empty();
}

GoldenCheck CompareWithGolden(const WireSummary& golden, const WireSummary& unit,
                              const FrameMask& stamped) {
    GoldenCheck check;
    check.extraResends = std::max(0, unit.resends - golden.resends);
    check.extraUnexpected = std::max(0, unit.unexpected - golden.unexpected);
    check.goldenFrames = golden.frames.size();
    check.unitFrames = unit.frames.size();
    const std::size_t common = std::min(golden.frames.size(), unit.frames.size());
    for (std::size_t f = 0; f < common; ++f) {
        const auto& a = golden.frames[f];
        const auto& b = unit.frames[f];
        for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            if (i < a.size() && i < b.size() && (a[i] == b[i] || stamped.count({f, i})))
                continue;
            check.differentFrames.push_back(f + 1);
            break;
        }
    }
    return check;
}

std::string GoldenVerdict(const GoldenCheck& check) {
    if (check.Matches())
        return msg::Text(msg::Id::GoldenMatches);
    std::vector<std::string> parts;
    if (check.extraResends > 0)
        parts.push_back(
            msg::Text(msg::Id::GoldenExtraResends, {std::to_string(check.extraResends)}));
    if (check.extraUnexpected > 0)
        parts.push_back(
            msg::Text(msg::Id::GoldenUnexpectedBytes, {std::to_string(check.extraUnexpected)}));
    if (check.goldenFrames != check.unitFrames)
        parts.push_back(msg::Text(msg::Id::GoldenFrameCount, {std::to_string(check.goldenFrames),
                                                              std::to_string(check.unitFrames)}));
    // The first few frames are enough to look into; the count says how many more.
    std::string frames;
    for (std::size_t i = 0; i < check.differentFrames.size() && i < 8; ++i)
        frames += (frames.empty() ? "" : ",") + std::to_string(check.differentFrames[i]);
    if (check.differentFrames.size() > 8)
        frames += ",…";
    if (!frames.empty())
        parts.push_back(msg::Text(msg::Id::GoldenDifferentPayload, {frames}));
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "；") + part;
    return text;
}

std::string GoldenText(const UnitStamp& stamp, const std::string& trace) {
    std::string text = std::string(kStampLine) + stamp.unit;
    for (const auto& [number, value] : stamp.values)
        text += " " + std::to_string(number) + "=" + value;
    return text + "\n" + trace;
}

Golden ReadGolden(std::string_view text) {
    Golden golden;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(kStampLine, 0) == 0) {
            std::istringstream words(line.substr(kStampLine.size()));
            words >> golden.stamp.unit;
            for (std::string word; words >> word;) {
                const std::size_t eq = word.find('=');
                int number = 0;
                const auto [end, error] = std::from_chars(word.data(), word.data() + eq, number);
                if (eq != std::string::npos && error == std::errc() && end == word.data() + eq)
                    golden.stamp.values.emplace_back(number, word.substr(eq + 1));
            }
        } else if (auto parsed = wire::Parse(line)) {
            golden.lines.push_back(std::move(*parsed));
        }
    }
    return golden;
}

}  // namespace jobs
