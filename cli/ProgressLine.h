#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "link/TransferEngine.h"

namespace cli {

// "[###---] 3/5 packets, 0:02 left": the bar is `width` marks, filled in proportion to `done`.
std::string ProgressText(int done, int total, double secondsLeft, int width = 30);

// The progress window of the download dialogs, as a line on a stream: redrawn in place on a
// terminal, one line per tenth otherwise (a log stays short). Messages are kept for the caller.
class ProgressLine : public ctrl::TransferListener {
public:
    using Clock = std::function<double()>;  // seconds since the transfer started

    ProgressLine(std::ostream& stream, int total, int periodMs, bool terminal, Clock clock = {});

    void ProgressMoved(int position) override { Draw(position); }
    void TransferEnded() override {}
    void Report(const QString& message) override;

    void Draw(int done, bool last = false);

    std::vector<std::string> messages;

private:
    std::ostream& stream;
    const int total;
    const int periodMs;
    const bool terminal;
    Clock clock;
    int lastTenth = -1;
};

}  // namespace cli
