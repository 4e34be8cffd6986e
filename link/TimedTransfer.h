#pragma once

#include <functional>
#include <memory>

#include "link/TransferEngine.h"

namespace ctrl {

// What paces a transfer. The real one is a precise timer at the profile's period; tests drive
// the ticks themselves, so that the give-up paths take no real time.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual void Start(std::function<void()> tick) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

// Makes the pacing of one transfer from the period its profile asks for.
using TickSourceFactory = std::function<std::unique_ptr<TickSource>(int periodMs)>;

// A precise timer firing every `periodMs`.
std::unique_ptr<TickSource> TimerTicks(int periodMs);

// Runs a transfer from its tick source, as a download dialog or the command-line tool does. The
// ticks stop when the transfer ends, before any message. Without a source of its own the
// transfer runs from a precise timer at its profile's period.
class TimedTransfer : private TransferListener {
public:
    TimedTransfer(SerialLink& port, const TransferProfile& profile, DownloadSource& source,
                  TransferListener& outer, std::unique_ptr<TickSource> ticks = nullptr);
    ~TimedTransfer() override;
    TimedTransfer(const TimedTransfer&) = delete;
    TimedTransfer& operator=(const TimedTransfer&) = delete;

    // Sends each next frame as soon as the answer to the previous one is in, rather than on the
    // next tick: when the line says bytes came in, and whenever `watch` fires (a 1 ms timer when
    // none is given) for a line that does not say. Before Start.
    void PaceByAnswers(std::unique_ptr<TickSource> watch = nullptr);
    void Start();
    // Stops the ticks and the transfer, as the user's "停止" asks.
    void Stop() { engine.Stop(); }
    bool IsRunning() const;
    TransferEngine& Engine() { return engine; }

private:
    void ProgressMoved(int position) override;
    void TransferEnded() override;
    void Report(const QString& message) override;
    void LookForAnswers();
    void StopWatching();

    SerialLink& port;
    TransferListener& outer;
    TransferEngine engine;
    std::unique_ptr<TickSource> ticks;
    std::unique_ptr<TickSource> answerWatch;  // set for fast pacing only
    bool inEngine = false;
    bool watching = false;         // the port's arrival hook is ours
    bool arrivedInEngine = false;  // the port told of bytes while the engine ran
};

// Suites that drive whole programs over virtual lines wait for a silent controller this many
// ticks instead of the profile's give-up (eight seconds for a program's data); the resends and
// the pace stay the profile's. Unset or not a positive number: the profile's own.
inline constexpr const char* kGiveUpTicksVariable = "TARVEX_GIVE_UP_TICKS";
TransferProfile WithGiveUpFromEnvironment(TransferProfile profile);

// Fast pacing takes each answer when the port tells of it; this look only backs that up.
// Looking every millisecond on many ports at once cost more processor time than the transfers.
inline constexpr int kAnswerWatchMs = 20;

}  // namespace ctrl
