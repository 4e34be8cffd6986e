#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "jobs/Stamping.h"
#include "wire/WireTrace.h"

namespace jobs {

struct PreparedJob;

// The golden run's trace lives beside the job: NAME.tvjob.golden.
std::filesystem::path GoldenPath(const std::filesystem::path& jobPath);

// (frame, byte) of the frames sent, counted without resends, where two units' frames differ
// because their stamps differ; byte 0 is the command byte.
using FrameMask = std::set<std::pair<std::size_t, std::size_t>>;

// What a unit sent and heard, with each frame once.
struct WireSummary {
    std::vector<std::vector<std::uint8_t>> frames;  // command byte and packet, trailer left out
    int resends = 0;                                // a frame sent again before it was acknowledged
    int unexpected = 0;                             // bytes read that answer nothing
};
WireSummary Summarise(const std::vector<wire::Line>& lines);

// How a unit's traffic differs from the golden run's; empty when it does not.
struct GoldenCheck {
    int extraResends = 0;
    int extraUnexpected = 0;
    std::size_t goldenFrames = 0, unitFrames = 0;
    std::vector<std::size_t> differentFrames;  // 1-based
    bool Matches() const;
};
GoldenCheck CompareWithGolden(const WireSummary& golden, const WireSummary& unit,
                              const FrameMask& stamped);
// "与基准一致", or each difference.
std::string GoldenVerdict(const GoldenCheck& check);

// The golden file: the stamp of the unit it was recorded on, then its trace lines.
std::string GoldenText(const UnitStamp& stamp, const std::string& trace);
struct Golden {
    UnitStamp stamp;
    std::vector<wire::Line> lines;
};
Golden ReadGolden(std::string_view text);

}  // namespace jobs
