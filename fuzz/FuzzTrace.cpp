// Any bytes as a trace file for `emulate --replay`: reading must never crash, every line it
// accepts writes back as the same line, and the replay script made of them stays in step with
// the lines the host wrote.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/Replay.h"
#include "fuzz/Broken.h"
#include "wire/WireTrace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<wire::Line> lines;
    std::string error;
    if (!emu::ParseTrace(text, "fuzz.trace", lines, error)) {
        Check(!error.empty(), "refused without a reason");
        return 0;
    }
    std::size_t sentBytes = 0;
    for (const wire::Line& line : lines) {
        Check(!line.bytes.empty(), "a line without bytes");
        const auto again = wire::Parse(wire::Format(line));
        Check(again && again->ms == line.ms && again->direction == line.direction &&
                  again->bytes == line.bytes && again->meaning == line.meaning,
              "a line does not write back as itself");
        if (line.direction == wire::Direction::Tx)
            sentBytes += line.bytes.size();
    }
    std::size_t stepBytes = 0;
    for (const emu::ReplayStep& step : emu::ReplayScript(lines))
        stepBytes += step.sent.size();
    Check(stepBytes <= sentBytes, "the script sends more than the trace");
    return 0;
}
