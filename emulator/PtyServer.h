#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "emulator/VirtualController.h"

namespace emu {

// Serves a virtual controller on a new pseudo-terminal, so that any program that can open a
// serial device talks to it as to the real thing. Answers leave after the controller's delay.
class PtyServer {
public:
    explicit PtyServer(VirtualController& controller);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pseudo-terminal; false with `error` set when the system refuses.
    bool Open(std::string& error);
    // The device the host opens, such as /dev/pts/3.
    const std::string& DevicePath() const { return devicePath; }

    // Hang up (close our end, as a pulled cable would) once this many frames have arrived.
    void HangUpAfterFrames(int frames) { hangUpAfter = frames; }

    // Serves until RequestStop; may run on a thread of its own.
    void Serve();
    // Safe from a signal handler and from another thread.
    void RequestStop();

    // Makes SIGINT and SIGTERM stop this server.
    void StopOnSignals();

private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };

    int WaitMs() const;
    void ReadHost();
    void WriteDue();
    void HangUp();

    VirtualController& controller;
    int master = -1;
    int slave = -1;  // held open so the line survives the host closing and reopening it
    int wake[2] = {-1, -1};
    // The handlers StopOnSignals replaced, put back when the server goes.
    bool handlingSignals = false;
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    int hangUpAfter = -1;
    std::string devicePath;
    std::deque<Pending> pending;
};

}  // namespace emu
