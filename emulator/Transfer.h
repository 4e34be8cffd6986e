#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace emu {

enum class TransferKind { Program, Parameters, Screen };

// One download as the controller received it: the 16 header bytes and the payloads of the data
// packets in order (a resent packet counted once).
struct Transfer {
    TransferKind kind = TransferKind::Program;
    std::array<std::uint8_t, 16> header{};
    std::vector<std::uint8_t> data;

    // Program download: the slot and the object program's instruction records. The line carries
    // whole 16-byte packets, so the bytes beyond the last whole 24-byte record are dropped.
    int ProgramNumber() const { return Word(0); }
    std::string ObjectRecords() const;

    // Parameter download: the page and the register values, four per packet, in register order.
    int PageNumber() const { return Word(0); }
    std::vector<std::int32_t> RegisterValues() const;

    // Screen download: 0 start-up, 1 parameter, 2 status screen; its number, the four register
    // numbers a parameter screen shows, and the screen data.
    int ScreenKind() const { return Word(0); }
    int ScreenNumber() const { return Word(2); }
    std::array<int, 4> ScreenRegisters() const;

    // Header bytes at `at` and `at + 1` as a 16-bit number, high byte first.
    int Word(std::size_t at) const { return header[at] << 8 | header[at + 1]; }
};

}  // namespace emu
