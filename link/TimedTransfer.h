#pragma once

#include <memory>

#include "link/TransferEngine.h"

class QTimer;

namespace ctrl {

// Runs a transfer from a precise timer at its profile's period, as a download dialog or the
// command-line tool does. The timer stops when the transfer's windows close, before any message.
class TimedTransfer : private TransferListener {
public:
    TimedTransfer(SerialLink& port, const TransferProfile& profile, DownloadSource& source,
                  TransferListener& outer);
    ~TimedTransfer() override;
    TimedTransfer(const TimedTransfer&) = delete;
    TimedTransfer& operator=(const TimedTransfer&) = delete;

    void Start();
    bool IsRunning() const;
    TransferEngine& Engine() { return engine; }

private:
    void ProgressMoved(int position) override;
    void WindowsClosed() override;
    void Report(const QString& message) override;

    TransferListener& outer;
    TransferEngine engine;
    std::unique_ptr<QTimer> timer;
};

}  // namespace ctrl
