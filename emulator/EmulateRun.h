#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string_view>
#include <vector>

#include "emulator/VirtualController.h"

namespace emu {

struct EmulateOptions {
    Faults faults;
    std::optional<std::filesystem::path> storeFolder;
    int hangUpAfterFrames = -1;
    int lineRate = 0;    // baud whose byte times the pty keeps; 0 for none
    int units = 0;       // a line of this many units, one after another; 0 for one controller
    int swapMs = 300;    // silence after each unit's farewell (UnitLine::kDefaultSwapMs)
    int faultyUnit = 0;  // the only unit with the faults; 0 for every unit
};

// Where unit `unit` (1-based) of a line keeps its transfers: FOLDER/unit-NNN.
std::filesystem::path UnitFolder(const std::filesystem::path& folder, int unit);

// "7,200,1" as bytes; nothing when a value is not a number from 0 to 255.
std::optional<std::vector<std::uint8_t>> ParseByteList(std::string_view text);
// A whole decimal number of at least `least`; nothing otherwise.
std::optional<int> ParseCount(std::string_view text, int least);

// A folder that exists and that this process may write into.
bool IsWritableFolder(const std::filesystem::path& folder);

// Serves a virtual controller on a new pseudo-terminal until SIGINT or SIGTERM: the device path
// goes out as the first line of `out`, then one line per completed transfer. Returns 0, or 1
// when no pseudo-terminal could be made.
int ServeUntilSignalled(const EmulateOptions& options, std::ostream& out, std::ostream& err);

}  // namespace emu
