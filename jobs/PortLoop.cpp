#include "jobs/PortLoop.h"

#include <mutex>
#include <set>

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
    UnitEnd end{stamp.unit,
                result.outcome,
                result.failure,
                static_cast<int>(result.steps.size()),
                result.failedStep,
                {},
                {}};
    if (result.failedStep > 0) {
        end.file = job.steps[static_cast<std::size_t>(result.failedStep - 1)].step.file;
        end.reason = result.message.substr(0, result.message.find('\n'));
    }
    return end;
}

// Read once for the loop: every unit is compared with the golden run there was when it began.
std::optional<Golden> GoldenOf(const PreparedJob& job, const LoopEvents& events) {
    std::string text;
    if (events.recordGolden || !fileio::ReadWholeFile(GoldenPath(job.path), text))
        return std::nullopt;
    return ReadGolden(text);
}

QString GoldenVerdictOf(const PreparedJob& job, const std::optional<Golden>& golden,
                        const UnitStamp& stamp, const std::string& trace) {
    if (!golden)
        return {};
    const GoldenCheck check =
        CompareWithGolden(Summarise(golden->lines), Summarise(ReadGolden(trace).lines),
                          StampMask(job, golden->stamp, stamp));
    return QString::fromStdString(GoldenVerdict(check));
}

struct Loop {
    const PreparedJob& job;
    const LoopSettings& settings;
    const LoopEvents& events;
    UnitStation& station;
    std::optional<Golden> golden;
};

// One unit from its number to its record; false when the loop cannot go on.
bool OneUnit(Loop& loop, LoopEnd& end) {
    const PreparedJob& job = loop.job;
    const LoopEvents& events = loop.events;
    UnitStation& station = loop.station;
    TakenUnit taken;
    {
        const std::lock_guard<std::mutex> hold(BookLock());
        taken = TakeUnit(job, events.nextUnitId ? events.nextUnitId() : std::nullopt,
                         QCoreApplication::applicationPid(), loop.settings.port.toStdString());
    }
    if (!taken.stamp) {
        station.Farewell();
        end.why = LoopEnd::Why::Refused;
        if (events.refused)
            events.refused(taken.fault->Text());
        return false;
    }
    if (events.started)
        events.started(taken.stamp->unit, static_cast<int>(job.steps.size()));
    const UnitResult result = station.RunUnit(job, *taken.stamp);
    // The traffic as text only where it is kept or compared: a clean unit without a golden run
    // needs none.
    const bool traced = result.outcome != UnitOutcome::Passed || events.recordGolden || loop.golden;
    const std::string trace = traced ? station.TraceText() : std::string();
    station.Farewell();
    UnitContext context{loop.settings.station,
                        loop.settings.operatorName,
                        station.PortText(),
                        station.AdapterIdentity(),
                        {},
                        {}};
    if (result.outcome != UnitOutcome::Passed)
        context.trace = KeepUnitTrace(JobName(job.path), taken.stamp->unit, trace);
    else if (!events.recordGolden || !events.recordGolden(*taken.stamp, trace))
        context.golden = GoldenVerdictOf(job, loop.golden, *taken.stamp, trace);
    const QString& ledger = loop.settings.ledger;
    bool recorded = false;
    {
        const std::lock_guard<std::mutex> hold(BookLock());
        recorded = AppendUnitRecord(ledger, UnitRecord(job, *taken.stamp, result, context));
        if (recorded)
            SettleUnit(job, taken.stamp->unit);
    }
    const std::string unrecorded =
        recorded ? std::string() : msg::Text(msg::Id::JobRecordNotWritten, {ledger.toStdString()});
    const bool goOn = recorded || (events.unrecorded && events.unrecorded(unrecorded));
    if (events.ended)
        events.ended(EndOf(job, *taken.stamp, result));
    if (!goOn) {
        end.why = LoopEnd::Why::Refused;
        if (events.refused)
            events.refused(unrecorded);
        return false;
    }
    if (result.outcome == UnitOutcome::Stopped)
        end.why = LoopEnd::Why::Stopped;
    return result.outcome != UnitOutcome::Stopped;
}

}  // namespace

std::vector<OpenUnit> RecordInterruptedUnits(const PreparedJob& job, const QString& ledger,
                                             const QString& station) {
    const std::lock_guard<std::mutex> hold(BookLock());
    const std::vector<OpenUnit> units =
        AdoptInterrupted(job, ProcessAlive, QCoreApplication::applicationPid());
    if (units.empty())
        return units;
    const QString name = QString::fromStdString(JobName(job.path));
    std::set<QString> recorded;
    for (const QJsonObject& record : ReadUnitLedger(ledger).records) {
        if (record.value("job").toString() == name)
            recorded.insert(record.value("unit").toString());
    }
    std::vector<OpenUnit> now;
    for (const OpenUnit& unit : units) {
        if (!recorded.count(QString::fromStdString(unit.stamp.unit))) {
            const UnitContext context{station, {}, QString::fromStdString(unit.port), {}, {}, {}};
            if (!AppendUnitRecord(ledger, UnitRecord(job, unit.stamp, UnitResult{}, context)))
                continue;
            now.push_back(unit);
        }
        SettleUnit(job, unit.stamp.unit);
    }
    return now;
}

QString KeepUnitTrace(const std::string& job, const std::string& unit, const std::string& text) {
    QDir().mkpath(TraceFolder());
    const QString name = QStringLiteral("%1-unit-%2-%3.trace")
                             .arg(QString::fromStdString(job), QString::fromStdString(unit),
                                  QDateTime::currentDateTime().toString("yyyyMMddThhmmsszzz"));
    const QString path = QDir(TraceFolder()).filePath(name);
    return fileio::WriteSafely(path.toStdString(), text) ? QString() : path;
}

LoopEnd RunPortLoop(const PreparedJob& job, const LoopSettings& settings, const LoopEvents& events,
                    const std::function<bool()>& stopRequested) {
    UnitStation station(settings.port, settings.baudRate, settings.fastPacing, stopRequested);
    station.progressMoved = events.progress;
    Loop loop{job, settings, events, station, GoldenOf(job, events)};
    LoopEnd end;
    for (int unit = 0; settings.units == 0 || unit < settings.units; ++unit) {
        if (events.waiting)
            events.waiting();
        const UnitStation::Arrival arrival = station.WaitForUnit(settings.loop);
        switch (arrival) {
            case UnitStation::Arrival::Arrived:
                break;
            case UnitStation::Arrival::Stopped:
                end.why = LoopEnd::Why::Stopped;
                return end;
            case UnitStation::Arrival::NoController:
            case UnitStation::Arrival::LineLost:
                end.why = arrival == UnitStation::Arrival::LineLost ? LoopEnd::Why::LineLost
                                                                    : LoopEnd::Why::NoController;
                end.messages = station.messages;
                return end;
        }
        if (!OneUnit(loop, end) || !settings.loop || unit + 1 == settings.units)
            return end;
        if (events.leaving)
            events.leaving();
        if (!station.WaitForLeave()) {
            end.why = LoopEnd::Why::Stopped;
            return end;
        }
    }
    return end;
}

}  // namespace jobs
