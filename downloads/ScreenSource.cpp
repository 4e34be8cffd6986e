#include "downloads/ScreenSource.h"

#include <algorithm>
#include <utility>

#include "common/FileIo.h"

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
    constexpr std::size_t kScreenBytes = kPacketCount * 16;
    return fileio::ReadLimited(scratch, kScreenBytes, bytes) != fileio::ReadStatus::Unreadable;
}

bool ScreenSource::Load(std::string data) {
    CloseSource();
    if (data.size() != kPacketCount * 16)
        return false;
    bytes = std::move(data);
    return true;
}

void ScreenSource::BuildHeaderPacket(Packet& packet) {
    packet = ScreenHeader(target);
}

}  // namespace ctrl
