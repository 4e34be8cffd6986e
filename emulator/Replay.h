#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/VirtualController.h"
#include "wire/WireTrace.h"

namespace emu {

// One unit the host wrote in a trace, and every byte the controller answered before the host's
// next write.
struct ReplayStep {
    std::vector<std::uint8_t> sent;
    std::vector<std::uint8_t> answer;
};

// The steps of a trace, in order. Bytes read before the host's first write answered nothing the
// replay can wait for and are left out.
std::vector<ReplayStep> ReplayScript(const std::vector<wire::Line>& lines);

// More than the trace of any download; a longer file is refused as unreadable.
inline constexpr std::size_t kMostTraceBytes = std::size_t{64} << 20;

// The text of a trace file through the bounded reader; false with `error` set when it cannot be
// read (a folder, a silent pipe, an endless device, a file over kMostTraceBytes).
bool ReadTraceText(const std::filesystem::path& path, std::string& text, std::string& error);

// The lines of a trace file's text; false with `error` set (file and line) when a line is no
// trace line. Empty lines are skipped.
bool ParseTrace(std::string_view text, const std::filesystem::path& path,
                std::vector<wire::Line>& lines, std::string& error);

// Both of the above.
bool ReadTrace(const std::filesystem::path& path, std::vector<wire::Line>& lines,
               std::string& error);

// A controller that answers as the one in a trace did: after each unit the host writes, the
// bytes the traced controller sent after the matching unit, in order, whatever the host wrote.
class ReplayController : public VirtualController {
public:
    explicit ReplayController(std::vector<ReplayStep> steps);

    std::vector<std::uint8_t> Feed(std::uint8_t byte) override;

    std::size_t StepsLeft() const { return steps.size() - next; }
    // Units the host wrote that differ from the trace's at the same place.
    int Mismatches() const { return mismatches; }

private:
    std::vector<ReplayStep> steps;
    std::size_t next = 0;
    wire::FrameSplitter splitter;
    int mismatches = 0;
};

// Serves a replay of the trace at `tracePath` on a new pseudo-terminal until SIGINT or SIGTERM:
// the device path goes out as the first line of `out`. Returns 0, or 1 when the trace cannot be
// read or no pseudo-terminal could be made.
int ServeReplayUntilSignalled(const std::filesystem::path& tracePath, std::ostream& out,
                              std::ostream& err);

}  // namespace emu
