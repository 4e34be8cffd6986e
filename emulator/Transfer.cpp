#include "emulator/Transfer.h"

namespace emu {

namespace {
constexpr std::size_t kRecordBytes = 24;
}

std::string Transfer::ObjectRecords() const {
    const std::size_t whole = data.size() / kRecordBytes * kRecordBytes;
    return std::string(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(whole));
}

std::vector<std::int32_t> Transfer::RegisterValues() const {
    std::vector<std::int32_t> values;
    for (std::size_t at = 0; at + 4 <= data.size(); at += 4) {
        const std::uint32_t bits = std::uint32_t(data[at]) << 24 |
                                   std::uint32_t(data[at + 1]) << 16 |
                                   std::uint32_t(data[at + 2]) << 8 | std::uint32_t(data[at + 3]);
        values.push_back(static_cast<std::int32_t>(bits));
    }
    return values;
}

std::array<int, 4> Transfer::ScreenRegisters() const {
    return {Word(4), Word(6), Word(8), Word(10)};
}

}  // namespace emu
