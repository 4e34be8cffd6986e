#include "tests/support/EmulatedLine.h"

#include <QtTest/qtestsystem.h>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace testsupport {

ServedController::ServedController(emu::Faults faults, int hangUpAfterFrames)
    : controller(std::move(faults)), server(controller) {
    controller.onCompleted = [this](const emu::Transfer& transfer) {
        std::lock_guard lock(mutex);
        completed.push_back(transfer);
    };
    if (!server.Open(error))
        return;
    server.HangUpAfterFrames(hangUpAfterFrames);
    thread = std::thread([this] { server.Serve(); });
}

ServedController::~ServedController() {
    Stop();
}

void ServedController::Stop() {
    if (!thread.joinable())
        return;
    server.RequestStop();
    thread.join();
}

std::vector<emu::Transfer> ServedController::Completed() const {
    std::lock_guard lock(mutex);
    return completed;
}

bool ServedController::WaitForCompleted(std::size_t count, int ms) const {
    return QTest::qWaitFor([&] { return Completed().size() >= count; }, ms);
}

int RecordingPort::Send(const std::uint8_t* bytes, int count) {
    const int n = CSerialPort::Send(bytes, count);
    sent.insert(sent.end(), bytes, bytes + n);
    return n;
}

EmulatedLine::EmulatedLine(emu::Faults faults, int hangUpAfterFrames)
    : ServedController(std::move(faults), hangUpAfterFrames) {
    port.portPath = QString::fromStdString(DevicePath());
    port.baudRate = 19200;
}

// The port goes before the server, so the host never writes to a line nobody serves.
EmulatedLine::~EmulatedLine() {
    port.Close();
    Stop();
}

bool EmulatedLine::OpenInSession() {
    if (!port.OpenConfigured())
        return false;
    port.sessionState = ctrl::LINK_READY;
    return true;
}

EmulatedLine::Run EmulatedLine::Transfer(const ctrl::TransferProfile& profile,
                                         ctrl::DownloadSource& source, int progressRange,
                                         std::unique_ptr<ctrl::TickSource> ticks, int limitMs,
                                         std::unique_ptr<ctrl::TickSource> answerWatch) {
    windows = RecordedWindows{};
    QEventLoop loop;
    windows.onEnded = [&loop] { loop.quit(); };
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    ctrl::TimedTransfer transfer(port, profile, source, windows, std::move(ticks));
    if (answerWatch)
        transfer.PaceByAnswers(std::move(answerWatch));
    QElapsedTimer clock;
    clock.start();
    transfer.Start();
    transfer.Engine().SetProgressRange(progressRange);
    limit.start(limitMs);
    if (!windows.ended)
        loop.exec();
    windows.onEnded = nullptr;
    Run run;
    run.ended = windows.ended;
    run.wallSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    run.outcome = transfer.Engine().Outcome();
    return run;
}

namespace {

class AnswerPacedSource : public ctrl::TickSource {
public:
    AnswerPacedSource(ctrl::SerialLink& port, int periodMs) : port(port), periodMs(periodMs) {
        poll.setTimerType(Qt::PreciseTimer);
        poll.setInterval(1);
    }
    void Start(std::function<void()> tick) override {
        poll.callOnTimeout([this, tick = std::move(tick)] {
            if (port.QueuedBytes() > 0 || sinceTick.hasExpired(periodMs)) {
                sinceTick.start();
                tick();
            }
        });
        sinceTick.start();
        poll.start();
    }
    void Stop() override { poll.stop(); }
    bool IsActive() const override { return poll.isActive(); }

private:
    ctrl::SerialLink& port;
    const int periodMs;
    QTimer poll;
    QElapsedTimer sinceTick;
};

}  // namespace

ctrl::TickSourceFactory AnswerPacedTicks(ctrl::SerialLink& port) {
    return [&port](int periodMs) { return std::make_unique<AnswerPacedSource>(port, periodMs); };
}

class HandTicks::Source : public ctrl::TickSource {
public:
    explicit Source(HandTicks& clock) : clock(&clock) { clock.current = this; }
    ~Source() override {
        if (clock && clock->current == this)
            clock->current = nullptr;
    }
    void Start(std::function<void()> tick) override {
        onTick = std::move(tick);
        active = true;
    }
    void Stop() override { active = false; }
    bool IsActive() const override { return active; }

    HandTicks* clock;
    std::function<void()> onTick;
    bool active = false;
};

HandTicks::~HandTicks() {
    if (current)
        current->clock = nullptr;
}

std::unique_ptr<ctrl::TickSource> HandTicks::Make() {
    if (current)
        current->clock = nullptr;
    return std::make_unique<Source>(*this);
}

ctrl::TickSourceFactory HandTicks::Factory() {
    return [this](int) { return Make(); };
}

int HandTicks::Tick(int count) {
    int fired = 0;
    while (fired < count && Running()) {
        current->onTick();
        ++fired;
    }
    return fired;
}

bool HandTicks::Running() const {
    return current && current->active;
}

}  // namespace testsupport
