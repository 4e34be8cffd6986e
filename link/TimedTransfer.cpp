#include "link/TimedTransfer.h"

#include <QTimer>

namespace ctrl {

TimedTransfer::TimedTransfer(SerialLink& port, const TransferProfile& profile,
                             DownloadSource& source, TransferListener& outer)
    : outer(outer), engine(port, profile, source, *this), timer(std::make_unique<QTimer>()) {
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(profile.periodMs);
    timer->callOnTimeout([this] { engine.Tick(); });
}

TimedTransfer::~TimedTransfer() = default;

void TimedTransfer::Start() {
    timer->start();
    engine.Start();
}

bool TimedTransfer::IsRunning() const {
    return timer->isActive() && engine.Outcome() == TransferOutcome::Running;
}

void TimedTransfer::ProgressMoved(int position) {
    outer.ProgressMoved(position);
}

void TimedTransfer::WindowsClosed() {
    timer->stop();
    outer.WindowsClosed();
}

void TimedTransfer::Report(const QString& message) {
    outer.Report(message);
}

}  // namespace ctrl
