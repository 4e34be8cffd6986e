// The station window's responsiveness during a batch: opens the window offscreen on the ports
// given, one unit per port; while the units run, a thread of its own types into the scanner field
// (as the window system would, whatever the window is doing) and a timer on the window's thread
// records how late it fires. Prints the batch time (from opening to the window showing every
// tile ended), the median and largest key latency (posted to seen by the field) and timer
// lateness, and the moments the window's thread was held longest. Run by bench/station-speed.
// With BENCH_KEY_LOG=FILE the keys come from outside (bench/station-keys types them with xdotool
// into a real window): each time the scanner field is painted with new text, the wall-clock time
// (ns), the text's length and the ms since the X server stamped the key go to FILE; BENCH_UNITS
// units per port make the batch.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "common/Language.h"
#include "station/StationWindow.h"
#include "ui/ScriptedPrompts.h"

namespace {

constexpr int kKeyEveryMs = 47;  // not a multiple of the repaint period
constexpr int kProbeMs = 10;
constexpr double kHeldMs = 20;  // a lateness worth naming

struct Spread {
    double median = 0, max = 0;
    std::size_t count = 0;
};

// CPU time of the calling thread: a late timer with little of it was kept waiting, not busy.
double ThreadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// How long the calling thread has waited, runnable, for a processor (Linux schedstat); a hold
// neither busy nor waiting for a processor was the thread blocked.
double ThreadRunQueueMs() {
    std::FILE* file = std::fopen("/proc/thread-self/schedstat", "r");
    unsigned long long running = 0, waiting = 0;
    if (file) {
        if (std::fscanf(file, "%llu %llu", &running, &waiting) != 2)
            waiting = 0;
        std::fclose(file);
    }
    return static_cast<double>(waiting) / 1e6;
}

// Page faults of the calling thread that had to wait for the disk.
long ThreadMajorFaults() {
    std::FILE* file = std::fopen("/proc/thread-self/stat", "r");
    long faults = 0;
    if (file) {
        char text[1024] = {};
        const std::size_t n = std::fread(text, 1, sizeof text - 1, file);
        std::fclose(file);
        // After the name in parentheses: state, then fields 4 to 12; majflt is the 12th.
        const char* p = std::strrchr(text, ')');
        if (p && n > 0)
            std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %ld", &faults);
    }
    return faults;
}

Spread SpreadOf(std::vector<double> values) {
    Spread s;
    s.count = values.size();
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.median = values[values.size() / 2];
    s.max = values.back();
    return s;
}

// Times each key from its posting to its arrival at the scanner field.
class KeyWatch : public QObject {
public:
    explicit KeyWatch(QElapsedTimer& clock) : clock(clock) {}
    void Posted() {
        const std::lock_guard<std::mutex> hold(lock);
        posted.push_back(clock.nsecsElapsed());
    }
    std::vector<double> Latencies() {
        const std::lock_guard<std::mutex> hold(lock);
        return latencies;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const std::lock_guard<std::mutex> hold(lock);
            if (latencies.size() < posted.size())
                latencies.push_back(
                    static_cast<double>(clock.nsecsElapsed() - posted[latencies.size()]) / 1e6);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer& clock;
    std::mutex lock;
    std::vector<qint64> posted;
    std::vector<double> latencies;
};

// Logs when the field is painted with text it had not shown before: the answer a typist sees.
class PaintLog : public QObject {
public:
    explicit PaintLog(const char* path) : file(std::fopen(path, "w")) {}
    ~PaintLog() override {
        if (file)
            std::fclose(file);
    }
    PaintLog(const PaintLog&) = delete;
    PaintLog& operator=(const PaintLog&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            keyServerMs = static_cast<QKeyEvent*>(event)->timestamp();
        if (event->type() == QEvent::Paint && file) {
            const QString text = static_cast<QLineEdit*>(watched)->text();
            if (text != shown) {
                timespec t{}, m{};
                ::clock_gettime(CLOCK_REALTIME, &t);
                ::clock_gettime(CLOCK_MONOTONIC, &m);
                // The X server stamps a key with its monotonic clock in ms: from there to now is
                // the window's answer without the typist's own start.
                const double sinceServer = static_cast<double>(m.tv_sec) * 1e3 +
                                           static_cast<double>(m.tv_nsec) / 1e6 -
                                           static_cast<double>(keyServerMs);
                std::fprintf(file, "%lld%09ld %lld %.2f\n", static_cast<long long>(t.tv_sec),
                             t.tv_nsec, static_cast<long long>(text.size()), sinceServer);
                std::fflush(file);
                shown = text;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::FILE* file;
    QString shown;
    quint64 keyServerMs = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    msg::UseLanguage(
        msg::ChooseLanguage(msg::LanguageOverride(), std::string(), msg::ProcessLocaleName()));
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_station JOB LEDGER PORT...\n");
        return 64;
    }
    ui::ScriptedPrompts prompts;
    station::StationWindow window(prompts);
    window.SetSound(false);
    window.resize(1600, 1000);
    window.show();
    auto* scanner = window.findChild<QLineEdit*>();
    QElapsedTimer clock;
    KeyWatch keys(clock);
    scanner->installEventFilter(&keys);
    const char* keyLog = std::getenv("BENCH_KEY_LOG");
    PaintLog painted(keyLog ? keyLog : "/dev/null");
    if (keyLog) {
        scanner->installEventFilter(&painted);
        scanner->setFocus();
        window.activateWindow();
    }

    const QStringList ports = args.mid(2);
    const int perPort = std::max(1, qEnvironmentVariableIntValue("BENCH_UNITS"));
    const int units = static_cast<int>(ports.size()) * perPort;
    clock.start();
    if (!window.Open(args[0], ports, QStringLiteral("bench"), args[1])) {
        std::fprintf(stderr, "bench_station: the job was refused\n");
        return 1;
    }
    double batchSeconds = 0;
    std::vector<double> lateness;
    struct Held {
        // when (s), how late (ms), the thread's CPU and its wait for a processor meanwhile (ms)
        double at, late, cpu, queued;
        long faults;  // page faults that waited for the disk
    };
    std::vector<Held> held;
    qint64 lastProbe = clock.nsecsElapsed();
    double lastCpu = ThreadCpuMs();
    double lastQueued = ThreadRunQueueMs();
    long lastFaults = ThreadMajorFaults();
    const double startCpu = lastCpu;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const double late = std::max(0.0, static_cast<double>(now - lastProbe) / 1e6 - kProbeMs);
        const double cpu = ThreadCpuMs();
        const double queued = ThreadRunQueueMs();
        const long faults = ThreadMajorFaults();
        lateness.push_back(late);
        if (late >= kHeldMs)
            held.push_back({static_cast<double>(now) / 1e9, late, cpu - lastCpu,
                            queued - lastQueued, faults - lastFaults});
        lastProbe = now;
        lastCpu = cpu;
        lastQueued = queued;
        lastFaults = faults;
        if (window.Passed() + window.Failed() >= units && batchSeconds == 0) {
            batchSeconds = static_cast<double>(now) / 1e9;
            QCoreApplication::exit(0);  // quit() would ask the window, which asks to leave
        }
    });
    probe.start(kProbeMs);
    // A letter, then a backspace: the field never fills and no unit id is ever entered.
    // The keyboard device is made on first use, parented to the application: made here.
    QInputDevice::primaryKeyboard();
    std::atomic<bool> typing{keyLog == nullptr};
    std::thread typist([&] {
        for (bool letter = true; typing.load(); letter = !letter) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kKeyEveryMs));
            const int key = letter ? Qt::Key_A : Qt::Key_Backspace;
            const QString text = letter ? QStringLiteral("a") : QString();
            keys.Posted();
            QCoreApplication::postEvent(scanner,
                                        new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
            QCoreApplication::postEvent(
                scanner, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
        }
    });
    app.exec();
    typing = false;
    typist.join();
    window.StopAll();
    const Spread key = SpreadOf(keys.Latencies());
    const Spread lag = SpreadOf(lateness);
    std::printf(
        "station %d units: batch %.3f s, %d passed, %d failed; key latency median %.2f ms, "
        "max %.2f ms (%zu keys); timer lateness median %.2f ms, max %.2f ms\n",
        units, batchSeconds, window.Passed(), window.Failed(), key.median, key.max, key.count,
        lag.median, lag.max);
    std::printf("  window thread CPU over the batch %.0f ms\n", lastCpu - startCpu);
    for (const Held& h : held)
        std::printf(
            "  window thread held %.0f ms at %.2f s, of it busy %.0f ms, waiting for a processor "
            "%.0f ms, %ld page faults from the disk\n",
            h.late, h.at, h.cpu, h.queued, h.faults);
    return window.Failed() == 0 ? 0 : 1;
}
