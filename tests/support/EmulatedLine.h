#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QStringList>

#include "emulator/PtyServer.h"
#include "link/SerialPort.h"
#include "link/TimedTransfer.h"

namespace testsupport {

// The virtual controller served on a new pseudo-terminal from a thread of its own. The transfers
// it keeps are copied under a lock, so the test thread may read them while it serves.
class ServedController {
public:
    explicit ServedController(emu::Faults faults = {}, int hangUpAfterFrames = -1);
    ~ServedController();
    ServedController(const ServedController&) = delete;
    ServedController& operator=(const ServedController&) = delete;

    // Empty when serving, else why the pseudo-terminal could not be made.
    const std::string& Error() const { return error; }
    const std::string& DevicePath() const { return server.DevicePath(); }
    std::vector<emu::Transfer> Completed() const;
    // Processes events for up to `ms` until the controller has kept `count` transfers.
    bool WaitForCompleted(std::size_t count, int ms = 5000) const;
    // Stops serving and joins the thread; the destructor does it too.
    void Stop();

    emu::VirtualController controller;
    emu::PtyServer server;

private:
    std::string error;
    mutable std::mutex mutex;
    std::vector<emu::Transfer> completed;
    std::thread thread;
};

// A serial port that keeps every byte the host put on the line.
class RecordingPort : public CSerialPort {
public:
    int Send(const std::uint8_t* bytes, int count) override;
    std::vector<std::uint8_t> sent;
};

// What a transfer showed: the last bar position, its end and its messages.
class RecordedWindows : public ctrl::TransferListener {
public:
    void ProgressMoved(int position) override { lastPosition = position; }
    void TransferEnded() override {
        ended = true;
        if (onEnded)
            onEnded();
    }
    void Report(const QString& message) override { reports << message; }
    int lastPosition = 0;
    bool ended = false;
    QStringList reports;
    std::function<void()> onEnded;
};

// A controller served on a pseudo-terminal and a port set up for its device, so that the link
// code talks to it as to the real thing. Shared by the tests and the benchmarks.
class EmulatedLine : public ServedController {
public:
    explicit EmulatedLine(emu::Faults faults = {}, int hangUpAfterFrames = -1);
    ~EmulatedLine();

    // Opens the port and puts it in session, as a handshake would have.
    bool OpenInSession();

    struct Run {
        bool ended = false;
        double wallSeconds = 0;
        ctrl::TransferOutcome outcome = ctrl::TransferOutcome::Running;
    };
    // Runs one transfer on the port until it ends or `limitMs` passes. Without `ticks` it is
    // paced by the profile's own timer; with `answerWatch` it is paced by answers too. The event
    // loop runs meanwhile, not a polling wait, so that timers quicker than the polling step keep
    // their pace.
    Run Transfer(const ctrl::TransferProfile& profile, ctrl::DownloadSource& source,
                 int progressRange, std::unique_ptr<ctrl::TickSource> ticks = nullptr,
                 int limitMs = 60000, std::unique_ptr<ctrl::TickSource> answerWatch = nullptr);

    RecordingPort port;
    RecordedWindows windows;
};

// Ticks as soon as an answer waits on `port`, else once the profile's period has passed since
// the last tick: answered transfers run at the speed of the line, while a late answer is resent
// and given up after the real time. So a slow machine puts no extra resend on the line.
ctrl::TickSourceFactory AnswerPacedTicks(ctrl::SerialLink& port);

// Ticks fired by the test itself, none in real time.
class HandTicks {
public:
    HandTicks() = default;
    HandTicks(const HandTicks&) = delete;
    HandTicks& operator=(const HandTicks&) = delete;
    ~HandTicks();

    // A source for one transfer; the clock drives the latest one made.
    std::unique_ptr<ctrl::TickSource> Make();
    ctrl::TickSourceFactory Factory();
    // Fires up to `count` ticks while the source runs; how many it fired.
    int Tick(int count = 1);
    bool Running() const;

private:
    class Source;
    Source* current = nullptr;
    friend class Source;
};

}  // namespace testsupport
