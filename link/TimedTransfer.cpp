#include "link/TimedTransfer.h"

#include <QTimer>
#include <QtGlobal>

#include <algorithm>

namespace ctrl {

namespace {

class TimerTickSource : public TickSource {
public:
    explicit TimerTickSource(int periodMs) {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(periodMs);
    }
    void Start(std::function<void()> tick) override {
        timer.callOnTimeout(std::move(tick));
        timer.start();
    }
    void Stop() override { timer.stop(); }
    bool IsActive() const override { return timer.isActive(); }

private:
    QTimer timer;
};

}  // namespace

TransferProfile WithGiveUpFromEnvironment(TransferProfile profile) {
    bool given = false;
    const int ticks = qEnvironmentVariableIntValue(kGiveUpTicksVariable, &given);
    if (!given || ticks <= 0)
        return profile;
    // Still after the resend, so a silent controller is asked again before it is given up.
    const auto shorten = [ticks](std::uint32_t& giveUp, std::uint32_t resend) {
        giveUp = std::min(giveUp, std::max(static_cast<std::uint32_t>(ticks), resend + 1));
    };
    shorten(profile.openingGiveUpTick, profile.openingResendTick);
    shorten(profile.dataGiveUpTick, profile.dataResendTick);
    return profile;
}

std::unique_ptr<TickSource> TimerTicks(int periodMs) {
    return std::make_unique<TimerTickSource>(periodMs);
}

TimedTransfer::TimedTransfer(SerialLink& port, const TransferProfile& profile,
                             DownloadSource& source, TransferListener& outer,
                             std::unique_ptr<TickSource> ticks)
    : port(port),
      outer(outer),
      engine(port, WithGiveUpFromEnvironment(profile), source, *this),
      ticks(ticks ? std::move(ticks) : TimerTicks(profile.periodMs)) {}

TimedTransfer::~TimedTransfer() {
    StopWatching();
}

void TimedTransfer::PaceByAnswers(std::unique_ptr<TickSource> watch) {
    answerWatch = watch ? std::move(watch) : TimerTicks(kAnswerWatchMs);
}

// The ticks start before the start byte goes out, so the first tick comes one period later.
void TimedTransfer::Start() {
    ticks->Start([this] {
        inEngine = true;
        arrivedInEngine = false;
        engine.Tick();
        inEngine = false;
        // A tick takes one answer; the port told of any others while it ran.
        if (arrivedInEngine && watching)
            LookForAnswers();
    });
    if (answerWatch) {
        answerWatch->Start([this] { LookForAnswers(); });
        port.onArrival = [this] { LookForAnswers(); };
        watching = true;
    }
    inEngine = true;
    engine.Start();
    inEngine = false;
}

// The port's read inside a tick or a look reports arrivals too; the running call takes them.
void TimedTransfer::LookForAnswers() {
    if (inEngine) {
        arrivedInEngine = true;
        return;
    }
    inEngine = true;
    engine.AnswerArrived();
    inEngine = false;
}

// The port outlives the transfer and may already serve the next one.
void TimedTransfer::StopWatching() {
    if (!watching)
        return;
    watching = false;
    answerWatch->Stop();
    port.onArrival = nullptr;
}

bool TimedTransfer::IsRunning() const {
    return ticks->IsActive() && engine.Outcome() == TransferOutcome::Running;
}

void TimedTransfer::ProgressMoved(int position) {
    outer.ProgressMoved(position);
}

void TimedTransfer::TransferEnded() {
    ticks->Stop();
    StopWatching();
    outer.TransferEnded();
}

void TimedTransfer::Report(const QString& message) {
    outer.Report(message);
}

}  // namespace ctrl
