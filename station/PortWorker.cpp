#include "station/PortWorker.h"

#include <QDateTime>

#include "common/ThreadPriority.h"

namespace station {

void ScannedIds::Push(const std::string& id) {
    const std::lock_guard<std::mutex> hold(lock);
    ids.push_back(id);
}

std::optional<std::string> ScannedIds::Take() {
    const std::lock_guard<std::mutex> hold(lock);
    if (ids.empty())
        return std::nullopt;
    std::string id = ids.front();
    ids.pop_front();
    return id;
}

PortWorker::PortWorker(const jobs::PreparedJob& job, jobs::LoopSettings settings,
                       ScannedIds* scanned)
    : job(job), settings(std::move(settings)), scanned(scanned) {}

PortWorker::~PortWorker() {
    Stop();
    if (thread)
        thread->wait();
}

// A little below the window's thread, so that a key goes before a port's next byte. Only a little:
// Linux shares a processor between sessions by the weight of their runnable threads, and ports
// much lower leave the whole station less of it than a job run gets (10 cost a tenth of a batch).
constexpr int kPortThreadNiceness = 3;

void PortWorker::Start() {
    thread.reset(QThread::create([this] {
        threadpriority::LowerThisThread(kPortThreadNiceness);
        jobs::RunPortLoop(job, settings, Events(), [this] { return stopping.load(); });
    }));
    thread->start();
}

void PortWorker::Stop() {
    stopping = true;
    const std::lock_guard<std::mutex> hold(lock);
    acknowledged.notify_all();
}

void PortWorker::Acknowledge() {
    const std::lock_guard<std::mutex> hold(lock);
    unacknowledged = false;
    snapshot.notice.clear();
    if (snapshot.state == TileState::Failed)
        snapshot.state = TileState::Waiting;
    shown = snapshot;
    acknowledged.notify_all();
}

void PortWorker::SetNotice(const QString& text) {
    const std::lock_guard<std::mutex> hold(lock);
    snapshot.notice = text;
    shown = snapshot;
}

// A loop preempted while it changes its snapshot would hold the window for as long as the system
// keeps it off the processor: the window then shows the copy before.
TileSnapshot PortWorker::Snapshot() const {
    if (std::unique_lock<std::mutex> hold(lock, std::try_to_lock); hold.owns_lock())
        shown = snapshot;
    return shown;
}

void PortWorker::Update(const std::function<void(TileSnapshot&)>& change) {
    const std::lock_guard<std::mutex> hold(lock);
    change(snapshot);
}

void PortWorker::HoldWhileUnacknowledged() {
    std::unique_lock<std::mutex> hold(lock);
    acknowledged.wait(hold, [this] { return !unacknowledged || stopping.load(); });
}

jobs::LoopEvents PortWorker::Events() {
    jobs::LoopEvents events;
    events.waiting = [this] {
        HoldWhileUnacknowledged();
        Update([](TileSnapshot& s) { s.unitPresent = false; });
    };
    events.started = [this](const std::string& unit, int steps) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        Update([&](TileSnapshot& s) {
            s.state = TileState::Running;
            s.unitPresent = true;
            s.unit = QString::fromStdString(unit);
            s.step = 0;
            s.steps = steps;
            s.done = s.total = 0;
            s.reason.clear();
            s.startedMs = now;
            s.endedMs = 0;
        });
    };
    events.progress = [this](int step, int done, int total) {
        Update([&](TileSnapshot& s) {
            s.step = step;
            s.done = done;
            s.total = total;
        });
    };
    events.ended = [this](const jobs::UnitEnd& end) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const bool passed = end.outcome == jobs::UnitOutcome::Passed;
        Update([&](TileSnapshot& s) {
            s.endedMs = now;
            ++s.ends;
            ++(passed ? s.passed : s.failed);
            s.state = passed ? TileState::Passed : TileState::Failed;
            if (!passed)
                s.reason = QString::fromStdString(msg::Text(
                    msg::Id::StationFailReason, {std::to_string(end.failedStep), end.file,
                                                 end.outcome == jobs::UnitOutcome::Stopped
                                                     ? msg::Text(msg::Id::JobOutcomeStopped)
                                                     : end.reason}));
        });
        if (!passed) {
            const std::lock_guard<std::mutex> hold(lock);
            unacknowledged = true;
        }
    };
    events.refused = [this](const std::string& why) {
        Update([&](TileSnapshot& s) {
            s.state = TileState::Refused;
            s.reason = QString::fromStdString(why);
        });
    };
    if (scanned)
        events.nextUnitId = [this] { return scanned->Take(); };
    return events;
}

}  // namespace station
