#pragma once

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "emulator/VirtualController.h"
#include "link/SerialLink.h"

namespace testsupport {

// The virtual controller on a line inside the test, on a clock the test moves: answers arrive
// after the controller's delay, the controller may be held still for a while (as SIGSTOP holds a
// process) and may hang up after a number of frames, as the pseudo-terminal server does. Nothing
// waits in real time, so every give-up runs at once.
class SimulatedLine : public ctrl::SerialLink {
public:
    explicit SimulatedLine(emu::Faults faults = {}, int hangUpAfterFrames = -1);

    // The controller takes nothing from the line from `fromMs` for `forMs`, then catches up on
    // everything the host sent meanwhile.
    void Pause(int fromMs, int forMs);
    // Moves the clock on: the controller takes what it was sent and its due answers arrive.
    void Advance(int ms);
    int NowMs() const { return now; }
    bool HungUp() const { return hungUp; }

    bool OpenConfigured() override;
    bool Close() override;
    int Send(const std::uint8_t* bytes, int count) override;
    int QueuedBytes() override;
    int Receive(std::uint8_t* buffer, int limit) override;

    emu::VirtualController controller;
    std::vector<std::uint8_t> sent;  // every byte the host put on the line
    bool open = false;

private:
    bool Paused() const;
    void Serve();

    int now = 0;
    int pauseFrom = -1;
    int pauseUntil = -1;
    int hangUpAfter;
    bool hungUp = false;
    std::deque<std::uint8_t> toController;
    std::deque<std::pair<int, std::vector<std::uint8_t>>> pending;  // answers and when they are due
    std::deque<std::uint8_t> toHost;
};

}  // namespace testsupport
