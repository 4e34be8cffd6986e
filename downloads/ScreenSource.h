#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "downloads/SnapshotSource.h"

namespace ctrl {

enum class ScreenKind : int { Startup = 0, Parameter = 1, Status = 2 };

inline constexpr std::int32_t kLastScreenNumber = 767;
inline constexpr std::int32_t kLastRegisterNumber = 4095;

struct ScreenTarget {
    ScreenKind kind = ScreenKind::Startup;
    std::int32_t screenNumber = 0;
    std::array<std::int32_t, 4> registerNumbers{};
};

enum class ScreenRange { Ok, ScreenNumberTooHigh, RegisterNumberTooHigh };

// Only upper bounds: a start-up screen checks nothing, a status screen only its number.
ScreenRange CheckScreenTarget(const ScreenTarget& target);

// The 16 header bytes: kind, then for parameter and status screens the screen number, and for a
// parameter screen the four registers it shows; each as its low 16 bits, high byte first.
Packet ScreenHeader(const ScreenTarget& target);

// Screen data on its way to the display: the scratch file in pieces of 16 bytes.
class ScreenSource : public SnapshotSource {
public:
    static constexpr int kPacketCount = 64;

    // Reads the scratch file whole, at most the 64 packets a screen takes; that copy is what goes
    // out. false when it cannot be read.
    bool Open(const std::filesystem::path& scratch);
    // Screen data already converted; false when it is not one screen's worth.
    bool Load(std::string data);

    ScreenTarget target;

    void BuildHeaderPacket(Packet& packet) override;
};

}  // namespace ctrl
