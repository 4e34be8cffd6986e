#pragma once

#include <iosfwd>

#include "emulator/VirtualController.h"

namespace emu {

struct LineOptions {
    int hangUpAfterFrames = -1;
    int lineRate = 0;  // baud whose byte times the line keeps; 0 for none
};

// Serves `controller` on a new pseudo-terminal until SIGINT or SIGTERM: the device path goes out
// as the first line of `out`. False, with the reason on `err`, when there is no line to serve on,
// as on Windows, which has no pseudo-terminals.
bool ServeOnNewLine(VirtualController& controller, const LineOptions& options, std::ostream& out,
                    std::ostream& err);

}  // namespace emu
