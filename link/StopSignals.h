#pragma once

#include <atomic>
#include <memory>

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

class QSocketNotifier;

namespace ctrl {

// SIGINT and SIGTERM while the port is in use: the handler only writes the signal's number to a
// pipe, and the event loop reads it, so the download can stop between frames, say goodbye and
// put the port back as it was. The previous handlers come back when this ends.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that asked to stop, 0 while none did.
    int Received() const { return received; }

private:
#ifdef Q_OS_UNIX
    static void OnSignal(int number);
    static inline std::atomic<int> writeEnd{-1};
    int pipe[2] = {-1, -1};
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    std::unique_ptr<QSocketNotifier> notifier;
#endif
    int received = 0;
};

}  // namespace ctrl
