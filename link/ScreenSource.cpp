#include "link/ScreenSource.h"

#include <algorithm>

namespace ctrl {
namespace {

void PutWord(Packet& packet, std::size_t at, std::int32_t value) {
    packet[at] = static_cast<std::uint8_t>(value >> 8);
    packet[at + 1] = static_cast<std::uint8_t>(value);
}

}  // namespace

ScreenRange CheckScreenTarget(const ScreenTarget& target) {
    if (target.kind == ScreenKind::Startup)
        return ScreenRange::Ok;
    if (target.screenNumber > kLastScreenNumber)
        return ScreenRange::ScreenNumberTooHigh;
    if (target.kind == ScreenKind::Parameter &&
        std::any_of(target.registerNumbers.begin(), target.registerNumbers.end(),
                    [](std::int32_t n) { return n > kLastRegisterNumber; }))
        return ScreenRange::RegisterNumberTooHigh;
    return ScreenRange::Ok;
}

Packet ScreenHeader(const ScreenTarget& target) {
    Packet packet{};
    if (target.kind == ScreenKind::Startup)
        return packet;
    PutWord(packet, 0, static_cast<std::int32_t>(target.kind));
    PutWord(packet, 2, target.screenNumber);
    if (target.kind == ScreenKind::Parameter) {
        for (std::size_t i = 0; i < target.registerNumbers.size(); ++i)
            PutWord(packet, 4 + 2 * i, target.registerNumbers[i]);
    }
    return packet;
}

bool ScreenSource::Open(const std::filesystem::path& scratch) {
    CloseSource();
    screenDataFile.open(scratch, std::ios::binary);
    return screenDataFile.is_open();
}

void ScreenSource::BuildHeaderPacket(Packet& packet) {
    packet = ScreenHeader(target);
}

bool ScreenSource::NextDataPacket(Packet& packet) {
    if (!screenDataFile.is_open())
        return false;
    std::array<char, 16> piece{};
    screenDataFile.read(piece.data(), piece.size());
    const auto got = static_cast<std::ptrdiff_t>(screenDataFile.gcount());
    if (got == 0)
        return false;
    std::transform(piece.begin(), piece.begin() + got, packet.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return true;
}

void ScreenSource::CloseSource() {
    if (screenDataFile.is_open())
        screenDataFile.close();
    screenDataFile.clear();
}

}  // namespace ctrl
