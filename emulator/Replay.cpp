#include "emulator/Replay.h"

#include <ostream>
#include <string_view>

#include "common/FileIo.h"
#include "common/Messages.h"
#include "emulator/ServeLine.h"

namespace emu {

std::vector<ReplayStep> ReplayScript(const std::vector<wire::Line>& lines) {
    std::vector<ReplayStep> steps;
    wire::FrameSplitter splitter;
    for (const wire::Line& line : lines) {
        if (line.direction == wire::Direction::Rx) {
            if (!steps.empty())
                steps.back().answer.insert(steps.back().answer.end(), line.bytes.begin(),
                                           line.bytes.end());
            continue;
        }
        // A write line is one unit as the recorder cut it; cut again, so that a hand-made line
        // holding several units still answers after each.
        for (const std::uint8_t byte : line.bytes) {
            if (splitter.Take(byte))
                steps.push_back({splitter.Unit(), {}});
        }
        if (splitter.Cut())
            steps.push_back({splitter.Unit(), {}});
    }
    return steps;
}

bool ReadTraceText(const std::filesystem::path& path, std::string& text, std::string& error) {
    if (fileio::ReadLimited(path, kMostTraceBytes, text) == fileio::ReadStatus::Ok)
        return true;
    error = msg::Text(msg::Id::EmulatorTraceUnreadable, {path.string()});
    return false;
}

bool ReadTrace(const std::filesystem::path& path, std::vector<wire::Line>& lines,
               std::string& error) {
    std::string text;
    return ReadTraceText(path, text, error) && ParseTrace(text, path, lines, error);
}

bool ParseTrace(std::string_view text, const std::filesystem::path& path,
                std::vector<wire::Line>& lines, std::string& error) {
    std::string_view rest = text;
    for (int number = 1; !rest.empty(); ++number) {
        const std::size_t end = rest.find('\n');
        std::string_view row = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!row.empty() && row.back() == '\r')
            row.remove_suffix(1);
        if (row.empty())
            continue;
        auto line = wire::Parse(row);
        if (!line) {
            error =
                msg::Text(msg::Id::EmulatorTraceBadLine, {path.string(), std::to_string(number)});
            return false;
        }
        lines.push_back(std::move(*line));
    }
    return true;
}

ReplayController::ReplayController(std::vector<ReplayStep> steps) : steps(std::move(steps)) {}

std::vector<std::uint8_t> ReplayController::Feed(std::uint8_t byte) {
    if (!splitter.Take(byte) || next == steps.size())
        return {};
    const ReplayStep& step = steps[next++];
    if (step.sent != splitter.Unit())
        ++mismatches;
    return step.answer;
}

int ServeReplayUntilSignalled(const std::filesystem::path& tracePath, std::ostream& out,
                              std::ostream& err) {
    std::vector<wire::Line> lines;
    std::string error;
    std::string text;
    // Unreadable is the tool's exit 4, as for every input file; a bad line is a refusal.
    if (!ReadTraceText(tracePath, text, error)) {
        err << error << "\n";
        return 4;
    }
    if (!ParseTrace(text, tracePath, lines, error)) {
        err << error << "\n";
        return 1;
    }
    std::vector<ReplayStep> steps = ReplayScript(lines);
    const std::size_t total = steps.size();
    ReplayController controller(std::move(steps));
    if (!ServeOnNewLine(controller, {}, out, err))
        return 1;
    err << msg::Text(msg::Id::EmulatorReplayed,
                     {std::to_string(total - controller.StepsLeft()), std::to_string(total),
                      std::to_string(controller.Mismatches())})
        << std::endl;
    return 0;
}

}  // namespace emu
