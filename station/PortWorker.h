#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <QString>
#include <QThread>

#include "jobs/PortLoop.h"

namespace station {

enum class TileState { Waiting, Running, Passed, Failed, Refused };

// What a tile shows, copied out of its loop's thread.
struct TileSnapshot {
    TileState state = TileState::Waiting;
    bool unitPresent = false;  // the last unit is still plugged in
    QString unit;
    int step = 0, steps = 0, done = 0, total = 0;
    QString reason;  // why a unit failed, or why the loop cannot go on
    qint64 startedMs = 0, endedMs = 0;
    int passed = 0, failed = 0;
    int ends = 0;    // how many units have ended: the window sees each end once
    QString notice;  // about the port's earlier run, until acknowledged
};

// Unit ids scanned for the next units, whichever port takes the next one.
class ScannedIds {
public:
    void Push(const std::string& id);
    std::optional<std::string> Take();

private:
    std::mutex lock;
    std::deque<std::string> ids;
};

// One port's line of units on a thread of its own; the window only copies snapshots, so it
// never waits on a port. After a failed unit the loop holds the next one until the failure is
// acknowledged.
class PortWorker {
public:
    PortWorker(const jobs::PreparedJob& job, jobs::LoopSettings settings, ScannedIds* scanned);
    ~PortWorker();
    PortWorker(const PortWorker&) = delete;
    PortWorker& operator=(const PortWorker&) = delete;

    void Start();
    // Asks the loop to stop between two ticks; the destructor waits for it.
    void Stop();
    // Both from the window's thread only.
    void Acknowledge();
    void SetNotice(const QString& text);
    // Never waits on the loop.
    TileSnapshot Snapshot() const;
    const QString& Port() const { return settings.port; }

private:
    jobs::LoopEvents Events();
    void Update(const std::function<void(TileSnapshot&)>& change);
    void HoldWhileUnacknowledged();

    const jobs::PreparedJob& job;
    jobs::LoopSettings settings;
    ScannedIds* scanned;
    std::atomic<bool> stopping{false};
    mutable std::mutex lock;
    std::condition_variable acknowledged;
    bool unacknowledged = false;
    TileSnapshot snapshot;
    mutable TileSnapshot shown;  // the window's last copy
    std::unique_ptr<QThread> thread;
};

}  // namespace station
