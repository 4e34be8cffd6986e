#pragma once

#include <cstdint>

namespace ctrl {

// Session state codes kept in the shared port's sessionState: what the line is doing right now.
inline constexpr std::int32_t LINK_IDLE = 0;
inline constexpr std::int32_t LINK_READY = 1;
inline constexpr std::int32_t LINK_HANDSHAKE = 55;
inline constexpr std::int32_t LINK_OPENING = 56;
inline constexpr std::int32_t LINK_DATA = 3;

// The one line to the controller as the session and the transfer engine see it. The serial port
// implements it; tests put a scripted fake in its place.
class SerialLink {
public:
    virtual ~SerialLink() = default;

    // Opens the line with the link's own port and baud rate; true when it is open afterwards.
    virtual bool OpenConfigured() = 0;
    virtual bool Close() = 0;
    // Number of bytes written; 0 on a closed line.
    virtual int Send(const std::uint8_t* bytes, int count) = 0;
    // Received bytes waiting to be read; 0 on a closed line.
    virtual int QueuedBytes() = 0;
    // Number of bytes actually taken into `buffer`, at most `limit`.
    virtual int Receive(std::uint8_t* buffer, int limit) = 0;

    std::int32_t sessionState = LINK_IDLE;
};

}  // namespace ctrl
