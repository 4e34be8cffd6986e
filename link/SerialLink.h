#pragma once

#include <cstdint>
#include <functional>

#include "link/FailureExplain.h"

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
    // Why the last OpenConfigured failed, as far as the line can tell.
    virtual OpenFailure LastOpenFailure() const { return {}; }

    std::int32_t sessionState = LINK_IDLE;
    // The device went away (hang-up, adapter pulled): the line closed itself. Cleared by the next
    // open. `onLost` hears of it once, from the event loop, never inside a send or a read.
    bool lost = false;
    std::function<void()> onLost;
    // Hears from the event loop that bytes came in, so fast pacing need not wait for its next
    // look; a line without such notice leaves it uncalled.
    std::function<void()> onArrival;
};

}  // namespace ctrl
