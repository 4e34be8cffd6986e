#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QSysInfo>
#include <QThread>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/LineWriter.h"
#include "common/FileIo.h"
#include "common/PortName.h"
#include "jobs/GoldenRun.h"
#include "jobs/JobInputs.h"
#include "jobs/PortLoop.h"
#include "jobs/UnitLedger.h"
#include "jobs/UnitRun.h"
#include "link/PortList.h"

namespace cli {
namespace {

std::atomic<int> stopSignal{0};

void OnStopSignal(int number) {
    int none = 0;
    stopSignal.compare_exchange_strong(none, number);
}

// SIGINT and SIGTERM end the transfer under way between two ticks, the unit is recorded as
// stopped and the totals printed; the handlers before are put back when the run ends.
class StopOnSignals {
public:
    StopOnSignals() {
        stopSignal = 0;
        previousInt = std::signal(SIGINT, OnStopSignal);
        previousTerm = std::signal(SIGTERM, OnStopSignal);
    }
    ~StopOnSignals() {
        std::signal(SIGINT, previousInt);
        std::signal(SIGTERM, previousTerm);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

private:
    void (*previousInt)(int) = nullptr;
    void (*previousTerm)(int) = nullptr;
};

int StatusOf(jobs::UnitFailure failure) {
    switch (failure) {
        case jobs::UnitFailure::None:
            return exitcode::kOk;
        case jobs::UnitFailure::Refused:
            return exitcode::kRefused;
        case jobs::UnitFailure::NoController:
            return exitcode::kNoController;
        case jobs::UnitFailure::NoAnswer:
            return exitcode::kNoAnswer;
        case jobs::UnitFailure::LineLost:
            return exitcode::kLineLost;
        case jobs::UnitFailure::Suspect:
            return exitcode::kSuspectData;
        case jobs::UnitFailure::Stopped:
            break;
    }
    return exitcode::kSignalled + std::max(stopSignal.load(), SIGINT);
}

struct Totals {
    int passed = 0, failed = 0, stopped = 0;
    int worst = exitcode::kOk;
};

std::string SummaryLine(const jobs::UnitEnd& end) {
    if (end.outcome == jobs::UnitOutcome::Passed)
        return msg::Text(msg::Id::JobUnitPassed, {end.unit, std::to_string(end.steps)});
    const msg::Id outcome = end.outcome == jobs::UnitOutcome::Stopped ? msg::Id::JobOutcomeStopped
                                                                      : msg::Id::JobOutcomeFailed;
    // The first line says what went wrong; the record keeps the explanation under it.
    return msg::Text(
        msg::Id::JobUnitFailed,
        {end.unit, msg::Source(outcome), std::to_string(end.failedStep), end.file, end.reason});
}

// What every port's loop shares: the job prepared once, the ledger, the golden run to record.
struct RunContext {
    const jobs::PreparedJob& job;
    const ParsedArgs& args;
    QString ledger;
    std::mutex goldenLock;
    bool goldenWanted = false;  // the first passing unit of any port becomes the golden run
};

// A port's lines: with several ports, standard error joins standard output and every line
// has the port in front.
struct PortLines {
    LineWriter& out;
    LineWriter& err;
    std::string prefix;
    void Out(const std::string& text) { out.Write(prefix, text); }
    void Err(const std::string& text) { err.Write(prefix, text); }
};

bool RecordGolden(RunContext& c, PortLines& lines, const jobs::UnitStamp& stamp,
                  const std::string& trace) {
    const std::lock_guard<std::mutex> hold(c.goldenLock);
    if (!c.goldenWanted)
        return false;
    const std::filesystem::path path = jobs::GoldenPath(c.job.path);
    if (fileio::WriteSafely(path, jobs::GoldenText(stamp, trace))) {
        lines.Err(msg::Text(msg::Id::JobRecordNotWritten, {path.string()}));
        return true;
    }
    lines.Out(msg::Text(msg::Id::GoldenRecorded, {path.string()}));
    c.goldenWanted = false;
    return true;
}

// One port's units, through the same loop as the station's; its exit status.
int RunPort(RunContext& c, const std::string& port, int units, PortLines& lines) {
    const bool loop = c.args.Has("--loop");
    jobs::LoopSettings settings;
    settings.port = QString::fromStdString(port);
    settings.baudRate = std::stoi(c.args.Value("--baud").value_or("4800"));
    settings.fastPacing = c.args.Has("--fast");
    settings.ledger = c.ledger;
    settings.operatorName = QString::fromStdString(c.args.Value("--operator").value_or(""));
    settings.station = QSysInfo::machineHostName();
    settings.units = units;
    settings.loop = loop;
    Totals totals;
    jobs::LoopEvents events;
    if (loop) {
        events.waiting = [&] { lines.Err(msg::Text(msg::Id::JobWaitingForUnit)); };
        events.leaving = [&] { lines.Err(msg::Text(msg::Id::JobWaitingForLeave)); };
    }
    events.nextUnitId = [&] { return c.args.Value("--unit"); };
    events.refused = [&](const std::string& why) {
        lines.Out(why);
        totals.worst = std::max(totals.worst, static_cast<int>(exitcode::kRefused));
    };
    events.unrecorded = [&](const std::string& why) {
        lines.Err(why);
        return true;
    };
    if (c.args.Has("--golden"))
        events.recordGolden = [&](const jobs::UnitStamp& stamp, const std::string& trace) {
            return RecordGolden(c, lines, stamp, trace);
        };
    events.ended = [&](const jobs::UnitEnd& end) {
        lines.Out(SummaryLine(end));
        totals.worst = std::max(totals.worst, StatusOf(end.failure));
        if (end.outcome == jobs::UnitOutcome::Passed)
            ++totals.passed;
        else if (end.outcome == jobs::UnitOutcome::Stopped)
            ++totals.stopped;
        else
            ++totals.failed;
    };
    const jobs::LoopEnd end =
        jobs::RunPortLoop(c.job, settings, events, [] { return stopSignal.load() != 0; });
    if (end.why == jobs::LoopEnd::Why::NoController || end.why == jobs::LoopEnd::Why::LineLost) {
        for (const std::string& message : end.messages)
            lines.Out(message);
        return end.why == jobs::LoopEnd::Why::LineLost ? exitcode::kLineLost
                                                       : exitcode::kNoController;
    }
    if (loop || stopSignal.load() != 0)
        lines.Out(msg::Text(msg::Id::JobTotals,
                            {std::to_string(totals.passed), std::to_string(totals.failed),
                             std::to_string(totals.stopped)}));
    if (stopSignal.load() != 0)
        return exitcode::kSignalled + stopSignal.load();
    return totals.worst;
}

// Several ports: each port's loop on a thread of its own, as the station runs them. A crash ends
// every port at once, which leaves what a kill -9 leaves: the units under way are recorded as
// interrupted by the next run, no number is used twice.
int EachPort(RunContext& c, const std::vector<std::string>& ports, int units, std::ostream& out) {
    LineWriter lines(out);
    std::vector<PortLines> outputs;
    for (const std::string& port : ports)
        outputs.push_back({lines, lines, port + ": "});
    std::vector<int> statuses(ports.size(), exitcode::kOk);
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back(
            QThread::create([&, i] { statuses[i] = RunPort(c, ports[i], units, outputs[i]); }));
        threads.back()->start();
    }
    for (auto& thread : threads)
        thread->wait();
    return *std::max_element(statuses.begin(), statuses.end());
}

// A run cut off before leaves its units open; they are recorded before the first unit here.
void RecordInterrupted(RunContext& c, std::ostream& out) {
    for (const jobs::OpenUnit& unit :
         jobs::RecordInterruptedUnits(c.job, c.ledger, QSysInfo::machineHostName()))
        out << msg::Text(msg::Id::JobUnitInterrupted, {unit.stamp.unit}) << std::endl;
}

}  // namespace

int RunJobUnits(const std::string& jobPath, const ParsedArgs& args, std::ostream& out,
                std::ostream& err) {
    const auto many = args.repeated.find("--port");
    const std::vector<std::string> ports =
        many != args.repeated.end() ? many->second
                                    : std::vector<std::string>{args.Value("--port").value_or("")};
    for (const std::string& port : ports) {
        ctrl::UsbIdentity usb;
        if (port.empty())
            return Usage(kJobCommand, msg::Text(msg::Id::CliDownloadNeedsPort), err);
        if (!text::NamesPort(port) && !ctrl::ParseUsbPortName(QString::fromStdString(port), usb))
            return Usage(kJobCommand, msg::Text(msg::Id::CliDownloadBadPort, {port}), err);
    }
    int units = args.Has("--loop") ? 0 : 1;
    if (const auto n = args.Value("--units")) {
        if (n->empty() || n->find_first_not_of("0123456789") != std::string::npos ||
            n->size() > 6 || std::stoi(*n) < 1)
            return Usage(kJobCommand, msg::Text(msg::Id::CliNeedsWholeNumber, {"--units", *n}),
                         err);
        units = std::stoi(*n);
    }
    if (const auto baud = args.Value("--baud");
        baud && *baud != "4800" && *baud != "9600" && *baud != "19200")
        return Usage(kJobCommand, msg::Text(msg::Id::CliDownloadBadBaud, {*baud}), err);
    const StopOnSignals stopping;
    const jobs::JobRead read = jobs::ReadJob(jobPath);
    if (!read.job)
        return Report(out, read.fault.Text(), read.fault.status);
    const jobs::Preparation prepared = jobs::PrepareJob(jobPath, *read.job);
    if (!prepared.prepared)
        return Report(out, prepared.fault.Text(), prepared.fault.status);
    const std::string name = jobs::JobName(jobPath);
    if (read.job->approved.empty())
        return Report(out, msg::Text(msg::Id::JobNotApproved, {name}), exitcode::kRefused);
    if (!jobs::ChangedSinceApproval(*prepared.prepared).empty())
        return Report(out, msg::Text(msg::Id::JobChanged, {name}), exitcode::kRefused);
    const QString ledger = args.Value("--ledger") ? QString::fromStdString(*args.Value("--ledger"))
                                                  : jobs::DefaultUnitLedgerPath();
    // No unit is programmed that could not be recorded.
    if (!jobs::LedgerWritable(ledger))
        return Report(out, msg::Text(msg::Id::JobLedgerUnwritable, {ledger.toStdString()}),
                      exitcode::kRefused);
    RunContext context{*prepared.prepared, args, ledger, {}, args.Has("--golden")};
    RecordInterrupted(context, out);
    if (ports.size() > 1)
        return EachPort(context, ports, units, out);
    LineWriter outLines(out);
    LineWriter errLines(err);
    PortLines lines{outLines, errLines, {}};
    return RunPort(context, ports.front(), units, lines);
}

}  // namespace cli
