#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QJsonObject>
#include <QProcess>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileIo.h"
#include "common/PortName.h"
#include "jobs/GoldenRun.h"
#include "jobs/JobInputs.h"
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

// A unit that did not pass keeps its wire traffic, for whoever looks into it.
QString KeepTrace(const std::string& job, const std::string& unit, const std::string& text) {
    QDir().mkpath(jobs::TraceFolder());
    const QString name = QStringLiteral("%1-unit-%2-%3.trace")
                             .arg(QString::fromStdString(job), QString::fromStdString(unit),
                                  QDateTime::currentDateTime().toString("yyyyMMddThhmmsszzz"));
    const QString path = QDir(jobs::TraceFolder()).filePath(name);
    return fileio::WriteSafely(path.toStdString(), text) ? QString() : path;
}

std::string SummaryLine(const std::string& unit, const jobs::UnitResult& result,
                        const jobs::PreparedJob& job) {
    if (result.outcome == jobs::UnitOutcome::Passed)
        return msg::Text(msg::Id::JobUnitPassed, {unit, std::to_string(result.steps.size())});
    const jobs::Step& step = job.steps[static_cast<std::size_t>(result.failedStep - 1)].step;
    const msg::Id outcome = result.outcome == jobs::UnitOutcome::Stopped
                                ? msg::Id::JobOutcomeStopped
                                : msg::Id::JobOutcomeFailed;
    // The first line says what went wrong; the record keeps the explanation under it.
    const std::string first = result.message.substr(0, result.message.find('\n'));
    return msg::Text(msg::Id::JobUnitFailed, {unit, msg::Source(outcome),
                                              std::to_string(result.failedStep), step.file, first});
}

struct RunContext {
    const jobs::PreparedJob& job;
    const ParsedArgs& args;
    QString ledger;
    std::ostream& out;
    std::ostream& err;
    std::optional<jobs::Golden> golden;  // the golden run every unit is compared with
    bool recordGolden = false;           // this run records it from its first passing unit
};

// The unit's traffic next to the golden run's, its stamped bytes left out.
QString GoldenVerdict(const RunContext& c, const jobs::UnitStamp& stamp, const std::string& trace) {
    if (!c.golden)
        return {};
    const jobs::Golden unit = jobs::ReadGolden(trace);
    const jobs::GoldenCheck check =
        jobs::CompareWithGolden(jobs::Summarise(c.golden->lines), jobs::Summarise(unit.lines),
                                jobs::StampMask(c.job, c.golden->stamp, stamp));
    return QString::fromStdString(jobs::GoldenVerdict(check));
}

void RecordGolden(RunContext& c, const jobs::UnitStamp& stamp, const std::string& trace) {
    const std::filesystem::path path = jobs::GoldenPath(c.job.path);
    if (fileio::WriteSafely(path, jobs::GoldenText(stamp, trace))) {
        c.err << msg::Text(msg::Id::JobRecordNotWritten, {path.string()}) << "\n";
        return;
    }
    c.out << msg::Text(msg::Id::GoldenRecorded, {path.string()}) << std::endl;
    c.recordGolden = false;
}

// One unit from its number to its record; false when the run cannot go on.
bool OneUnit(RunContext& c, jobs::UnitStation& station, Totals& totals) {
    const jobs::TakenUnit taken =
        jobs::TakeUnit(c.job, c.args.Value("--unit"), QCoreApplication::applicationPid());
    if (!taken.stamp) {
        station.Farewell();
        totals.worst =
            std::max(totals.worst, Report(c.out, taken.fault->Text(), exitcode::kRefused));
        return false;
    }
    const jobs::UnitResult result = station.RunUnit(c.job, *taken.stamp);
    const std::string trace = station.TraceText();
    station.Farewell();
    jobs::UnitContext context{QSysInfo::machineHostName(),
                              QString::fromStdString(c.args.Value("--operator").value_or("")),
                              station.PortText(),
                              station.AdapterIdentity(),
                              {},
                              {}};
    if (result.outcome != jobs::UnitOutcome::Passed)
        context.trace = KeepTrace(jobs::JobName(c.job.path), taken.stamp->unit, trace);
    else if (c.recordGolden)
        RecordGolden(c, *taken.stamp, trace);
    else
        context.golden = GoldenVerdict(c, *taken.stamp, trace);
    // A unit whose record could not be written stays open, and the next run records it.
    if (!jobs::AppendUnitRecord(c.ledger, jobs::UnitRecord(c.job, *taken.stamp, result, context)))
        c.err << msg::Text(msg::Id::JobRecordNotWritten, {c.ledger.toStdString()}) << "\n";
    else
        jobs::SettleUnit(c.job, taken.stamp->unit);
    c.out << SummaryLine(taken.stamp->unit, result, c.job) << std::endl;
    const int status = StatusOf(result.failure);
    totals.worst = std::max(totals.worst, status);
    switch (result.outcome) {
        case jobs::UnitOutcome::Passed:
            ++totals.passed;
            break;
        case jobs::UnitOutcome::Stopped:
            ++totals.stopped;
            return false;
        default:
            ++totals.failed;
            break;
    }
    return true;
}

bool Alive(std::int64_t pid) {
    if (pid <= 0)
        return false;
#ifdef Q_OS_UNIX
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#else
    return pid == QCoreApplication::applicationPid();
#endif
}

// Units a run cut off (killed, the machine down) get their record before the next unit starts;
// one whose record reached the ledger just before the cut is not recorded twice.
void RecordInterrupted(RunContext& c) {
    const std::vector<jobs::UnitStamp> units =
        jobs::AdoptInterrupted(c.job, Alive, QCoreApplication::applicationPid());
    if (units.empty())
        return;
    const QString job = QString::fromStdString(jobs::JobName(c.job.path));
    std::set<QString> recorded;
    for (const QJsonObject& record : jobs::ReadUnitLedger(c.ledger).records) {
        if (record.value("job").toString() == job)
            recorded.insert(record.value("unit").toString());
    }
    const jobs::UnitContext context{QSysInfo::machineHostName(), {}, {}, {}, {}, {}};
    for (const jobs::UnitStamp& unit : units) {
        if (!recorded.count(QString::fromStdString(unit.unit))) {
            if (!jobs::AppendUnitRecord(c.ledger,
                                        jobs::UnitRecord(c.job, unit, jobs::UnitResult{}, context)))
                continue;
            c.out << msg::Text(msg::Id::JobUnitInterrupted, {unit.unit}) << std::endl;
        }
        jobs::SettleUnit(c.job, unit.unit);
    }
}

int Loop(RunContext& c, int units) {
    const bool loop = c.args.Has("--loop");
    jobs::UnitStation station(QString::fromStdString(*c.args.Value("--port")),
                              std::stoi(c.args.Value("--baud").value_or("4800")),
                              c.args.Has("--fast"), [] { return stopSignal.load() != 0; });
    Totals totals;
    for (int unit = 0; units == 0 || unit < units; ++unit) {
        if (loop)
            c.err << msg::Text(msg::Id::JobWaitingForUnit) << std::endl;
        const auto arrival = station.WaitForUnit(loop);
        if (arrival == jobs::UnitStation::Arrival::Stopped)
            break;
        if (arrival != jobs::UnitStation::Arrival::Arrived) {
            for (const std::string& message : station.messages)
                c.out << message << "\n";
            return arrival == jobs::UnitStation::Arrival::LineLost ? exitcode::kLineLost
                                                                   : exitcode::kNoController;
        }
        if (!OneUnit(c, station, totals) || !loop)
            break;
        if (units != 0 && unit + 1 == units)
            break;
        c.err << msg::Text(msg::Id::JobWaitingForLeave) << std::endl;
        if (!station.WaitForLeave())
            break;
    }
    if (loop || stopSignal.load() != 0)
        c.out << msg::Text(msg::Id::JobTotals,
                           {std::to_string(totals.passed), std::to_string(totals.failed),
                            std::to_string(totals.stopped)})
              << std::endl;
    if (stopSignal.load() != 0)
        return exitcode::kSignalled + stopSignal.load();
    return totals.worst;
}

// Several ports: each runs its own loop in a process of its own, its lines passed on with the
// port in front.
int EachPort(const ParsedArgs& args, std::ostream& out) {
    const std::vector<std::string>& ports = args.repeated.at("--port");
    QStringList base;
    for (const std::string& word : args.positional)
        base << QString::fromStdString(word);
    for (const auto& [name, value] : args.values) {
        if (name == "--port")
            continue;
        base << QString::fromStdString(name);
        if (!value.empty() || name == "--operator")
            base << QString::fromStdString(value);
    }
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const std::string& port : ports) {
        auto run = std::make_unique<QProcess>();
        run->setProcessChannelMode(QProcess::MergedChannels);
        run->start(QCoreApplication::applicationFilePath(),
                   QStringList{"job", "run"} << base << "--port" << QString::fromStdString(port));
        runs.push_back(std::move(run));
    }
    // Lines are passed on as they come, from whichever port has one.
    for (bool running = true; running;) {
        running = false;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            QProcess& run = *runs[i];
            run.waitForReadyRead(10);
            while (run.canReadLine())
                out << ports[i] << ": " << run.readLine().toStdString() << std::flush;
            running = running || run.state() != QProcess::NotRunning || run.bytesAvailable() > 0;
        }
        if (stopSignal.load() != 0) {
            // Each port's process stops its own transfer and records its unit; passed on once.
            for (auto& run : runs) {
#ifdef Q_OS_UNIX
                ::kill(static_cast<pid_t>(run->processId()), stopSignal.load());
#else
                run->terminate();
#endif
            }
            stopSignal = -stopSignal.load();
        }
    }
    int worst = exitcode::kOk;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        QProcess* run = runs[i].get();
        if (const std::string rest = run->readAll().toStdString(); !rest.empty())
            out << ports[i] << ": " << rest << "\n";
        worst = std::max(worst, run->exitStatus() == QProcess::NormalExit ? run->exitCode()
                                                                          : exitcode::kSignalled);
    }
    return worst;
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
    if (ports.size() > 1)
        return EachPort(args, out);
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
    RunContext context{*prepared.prepared, args, ledger, out, err, {}, args.Has("--golden")};
    if (std::string text;
        !context.recordGolden && fileio::ReadWholeFile(jobs::GoldenPath(jobPath), text))
        context.golden = jobs::ReadGolden(text);
    RecordInterrupted(context);
    return Loop(context, units);
}

}  // namespace cli
