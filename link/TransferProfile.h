#pragma once

#include <array>
#include <cstdint>

namespace ctrl {

using Packet = std::array<std::uint8_t, 16>;

// The session's own bytes: the handshake the controller echoes, and the goodbye.
inline constexpr std::uint8_t kHandshakeByte = 1;
inline constexpr std::uint8_t kFarewellByte = 136;
// The controller's answer asking for the last packet again.
inline constexpr std::uint8_t kResendRequest = 90;

enum class DownloadKind { Program, Parameters, Screen };

// What sets the three downloads apart on the line.
struct TransferProfile {
    int periodMs;
    std::uint8_t startByte;
    std::uint8_t headerByte;
    std::uint8_t dataByte;
    std::uint8_t endByte;
    std::uint32_t openingResendTick;
    std::uint32_t openingGiveUpTick;
    std::uint32_t dataResendTick;
    std::uint32_t dataGiveUpTick;
    std::uint8_t ackTrailer;      // packet sent in reply to an acknowledgement
    std::uint8_t tickTrailer;     // packet resent because the answer is late
    std::uint8_t requestTrailer;  // packet resent because the controller asked (90)
};

// The screen download swaps the first two trailers of the others.
inline constexpr TransferProfile kProgramProfile{10, 2, 18, 3, 4, 100, 800, 100, 800, 85, 0, 85};
inline constexpr TransferProfile kParameterProfile{10, 5, 21, 6, 7, 100, 800, 100, 800, 85, 0, 85};
inline constexpr TransferProfile kScreenProfile{50, 8, 24, 9, 10, 50, 200, 100, 800, 0, 85, 85};

inline constexpr const TransferProfile& ProfileFor(DownloadKind kind) {
    switch (kind) {
        case DownloadKind::Program:
            return kProgramProfile;
        case DownloadKind::Parameters:
            return kParameterProfile;
        case DownloadKind::Screen:
            break;
    }
    return kScreenProfile;
}

}  // namespace ctrl
