#include "link/TimedTransfer.h"

#include <QTimer>

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

std::unique_ptr<TickSource> TimerTicks(int periodMs) {
    return std::make_unique<TimerTickSource>(periodMs);
}

TimedTransfer::TimedTransfer(SerialLink& port, const TransferProfile& profile,
                             DownloadSource& source, TransferListener& outer,
                             std::unique_ptr<TickSource> ticks)
    : outer(outer),
      engine(port, profile, source, *this),
      ticks(ticks ? std::move(ticks) : TimerTicks(profile.periodMs)) {}

TimedTransfer::~TimedTransfer() = default;

void TimedTransfer::PaceByAnswers(std::unique_ptr<TickSource> watch) {
    answerWatch = watch ? std::move(watch) : TimerTicks(kAnswerWatchMs);
}

// The ticks start before the start byte goes out, so the first tick comes one period later.
void TimedTransfer::Start() {
    ticks->Start([this] { engine.Tick(); });
    if (answerWatch)
        answerWatch->Start([this] { engine.AnswerArrived(); });
    engine.Start();
}

bool TimedTransfer::IsRunning() const {
    return ticks->IsActive() && engine.Outcome() == TransferOutcome::Running;
}

void TimedTransfer::ProgressMoved(int position) {
    outer.ProgressMoved(position);
}

void TimedTransfer::TransferEnded() {
    ticks->Stop();
    if (answerWatch)
        answerWatch->Stop();
    outer.TransferEnded();
}

void TimedTransfer::Report(const QString& message) {
    outer.Report(message);
}

}  // namespace ctrl
