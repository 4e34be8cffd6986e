#include "cli/ProgressLine.h"

#include <memory>
#include <ostream>

#include <QElapsedTimer>
#include <QString>

#include "common/Messages.h"

namespace cli {
namespace {

std::string TimeText(double seconds) {
    const int s = static_cast<int>(seconds + 0.5);
    return std::to_string(s / 60) + (s % 60 < 10 ? ":0" : ":") + std::to_string(s % 60);
}

ProgressLine::Clock RealClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return static_cast<double>(timer->elapsed()) / 1000.0; };
}

}  // namespace

std::string ProgressText(int done, int total, double secondsLeft, int width) {
    const int filled = total > 0 ? done * width / total : width;
    return msg::Text(msg::Id::CliProgress,
                     {std::string(filled, '#'), std::string(width - filled, '-'),
                      std::to_string(done), std::to_string(total), TimeText(secondsLeft)});
}

ProgressLine::ProgressLine(std::ostream& stream, int total, int periodMs, bool terminal,
                           Clock clock)
    : stream(stream),
      total(total),
      periodMs(periodMs),
      terminal(terminal),
      clock(clock ? std::move(clock) : RealClock()) {}

void ProgressLine::Report(const QString& message) {
    messages.push_back(message.toStdString());
}

void ProgressLine::Draw(int done, bool last) {
    const int tenth = total > 0 ? done * 10 / total : 10;
    if (!terminal && !last && tenth == lastTenth)
        return;
    lastTenth = tenth;
    // Until a packet is through, the pace is the timer's period.
    const double perPacket = done > 0 ? clock() / done : periodMs / 1000.0;
    stream << (terminal ? "\r" : "") << ProgressText(done, total, (total - done) * perPacket)
           << (terminal && !last ? "" : "\n") << std::flush;
}

}  // namespace cli
