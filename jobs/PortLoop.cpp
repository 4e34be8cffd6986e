#include "jobs/PortLoop.h"

#include <mutex>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include "common/FileIo.h"
#include "jobs/GoldenRun.h"
#include "jobs/UnitLedger.h"

namespace jobs {
namespace {

// Loops of one process share the state file and the ledger; their file locks keep processes
// apart, this keeps the threads of one apart.
std::mutex& BookLock() {
    static std::mutex lock;
    return lock;
}

UnitEnd EndOf(const PreparedJob& job, const UnitStamp& stamp, const UnitResult& result) {
    UnitEnd end{stamp.unit, result.outcome, result.failedStep, {}, {}};
    if (result.failedStep > 0) {
        end.file = job.steps[static_cast<std::size_t>(result.failedStep - 1)].step.file;
        end.reason = result.message.substr(0, result.message.find('\n'));
    }
    return end;
}

QString GoldenVerdictOf(const PreparedJob& job, const UnitStamp& stamp, const std::string& trace) {
    std::string text;
    if (!fileio::ReadWholeFile(GoldenPath(job.path), text))
        return {};
    const Golden golden = ReadGolden(text);
    const GoldenCheck check =
        CompareWithGolden(Summarise(golden.lines), Summarise(ReadGolden(trace).lines),
                          StampMask(job, golden.stamp, stamp));
    return QString::fromStdString(GoldenVerdict(check));
}

// One unit from its number to its record; false when the loop cannot go on.
bool OneUnit(const PreparedJob& job, const LoopSettings& settings, const LoopEvents& events,
             UnitStation& station) {
    TakenUnit taken;
    {
        const std::lock_guard<std::mutex> hold(BookLock());
        taken = TakeUnit(job, events.nextUnitId ? events.nextUnitId() : std::nullopt,
                         QCoreApplication::applicationPid());
    }
    if (!taken.stamp) {
        station.Farewell();
        if (events.refused)
            events.refused(taken.fault->Text());
        return false;
    }
    if (events.started)
        events.started(taken.stamp->unit, static_cast<int>(job.steps.size()));
    const UnitResult result = station.RunUnit(job, *taken.stamp);
    const std::string trace = station.TraceText();
    station.Farewell();
    UnitContext context{settings.station,
                        settings.operatorName,
                        station.PortText(),
                        station.AdapterIdentity(),
                        {},
                        {}};
    if (result.outcome != UnitOutcome::Passed)
        context.trace = KeepUnitTrace(JobName(job.path), taken.stamp->unit, trace);
    else
        context.golden = GoldenVerdictOf(job, *taken.stamp, trace);
    bool recorded = false;
    {
        const std::lock_guard<std::mutex> hold(BookLock());
        recorded =
            AppendUnitRecord(settings.ledger, UnitRecord(job, *taken.stamp, result, context));
        if (recorded)
            SettleUnit(job, taken.stamp->unit);
    }
    if (events.ended)
        events.ended(EndOf(job, *taken.stamp, result));
    if (!recorded && events.refused) {
        events.refused(msg::Text(msg::Id::JobRecordNotWritten, {settings.ledger.toStdString()}));
        return false;
    }
    return result.outcome != UnitOutcome::Stopped;
}

}  // namespace

QString KeepUnitTrace(const std::string& job, const std::string& unit, const std::string& text) {
    QDir().mkpath(TraceFolder());
    const QString name = QStringLiteral("%1-unit-%2-%3.trace")
                             .arg(QString::fromStdString(job), QString::fromStdString(unit),
                                  QDateTime::currentDateTime().toString("yyyyMMddThhmmsszzz"));
    const QString path = QDir(TraceFolder()).filePath(name);
    return fileio::WriteSafely(path.toStdString(), text) ? QString() : path;
}

void RunPortLoop(const PreparedJob& job, const LoopSettings& settings, const LoopEvents& events,
                 const std::function<bool()>& stopRequested) {
    UnitStation station(settings.port, settings.baudRate, settings.fastPacing, stopRequested);
    station.progressMoved = events.progress;
    for (int unit = 0; settings.units == 0 || unit < settings.units; ++unit) {
        if (events.waiting)
            events.waiting();
        if (station.WaitForUnit(true) != UnitStation::Arrival::Arrived)
            return;
        if (!OneUnit(job, settings, events, station))
            return;
        if (events.leaving)
            events.leaving();
        if (!station.WaitForLeave())
            return;
    }
}

}  // namespace jobs
