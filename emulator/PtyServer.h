#pragma once

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "emulator/VirtualController.h"

namespace emu {

// When bytes leave the wire at a given line rate: each takes 11 bit times (8 data, parity, stop)
// after the later of its own start and the end of the byte before it, in each direction.
class LineTiming {
public:
    using Clock = std::chrono::steady_clock;
    explicit LineTiming(int baud) : byteTime(ByteTime(baud)) {}
    static Clock::duration ByteTime(int baud) {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(baud > 0 ? 11LL * 1000000000LL / baud : 0));
    }
    // When a byte the host wrote at `sent` has reached the controller.
    Clock::time_point In(Clock::time_point sent) { return Next(inFree, sent); }
    // When a byte the controller had ready at `ready` has reached the host.
    Clock::time_point Out(Clock::time_point ready) { return Next(outFree, ready); }

private:
    Clock::time_point Next(Clock::time_point& free, Clock::time_point start) {
        free = std::max(free, start) + byteTime;
        return free;
    }
    Clock::duration byteTime;
    Clock::time_point inFree{};
    Clock::time_point outFree{};
};

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
    // Holds every byte in and out for its time on a real line at `baud`; 0 for no delay.
    void SetLineRate(int baud);

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

    Clock::duration Wait() const;
    void ReadHost();
    void Feed(std::uint8_t byte, Clock::time_point at);
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
    std::optional<LineTiming> line;  // set when a line rate is asked for
};

}  // namespace emu
