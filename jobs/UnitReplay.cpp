#include "jobs/UnitReplay.h"

#include "jobs/JobInputs.h"

namespace jobs {
namespace {

// A pseudo-terminal takes any rate; the replayed controller answers at the host's pace.
constexpr int kReplayBaud = 19200;

}  // namespace

UnitStamp RecordedStamp(const QJsonObject& record) {
    UnitStamp stamp;
    stamp.unit = record.value("unit").toString().toStdString();
    const QJsonObject values = record.value("stamp").toObject();
    for (auto it = values.begin(); it != values.end(); ++it) {
        bool ok = false;
        const int number = it.key().mid(1).toInt(&ok);
        if (ok)
            stamp.values.emplace_back(number, it.value().toString().toStdString());
    }
    return stamp;
}

UnitReplay ReplayUnit(const std::filesystem::path& jobPath, const QJsonObject& record,
                      const QString& devicePath) {
    UnitReplay replay;
    const JobRead read = ReadJob(jobPath);
    if (!read.job) {
        replay.fault = read.fault;
        return replay;
    }
    const Preparation prepared = PrepareJob(jobPath, *read.job);
    if (!prepared.prepared) {
        replay.fault = prepared.fault;
        return replay;
    }
    UnitStation station(devicePath, kReplayBaud, true, [] { return false; });
    UnitResult result;
    if (station.WaitForUnit(false) != UnitStation::Arrival::Arrived) {
        result.outcome = UnitOutcome::Failed;
        result.failure = UnitFailure::NoController;
        result.message = station.messages.empty() ? std::string() : station.messages.back();
    } else {
        result = station.RunUnit(*prepared.prepared, RecordedStamp(record));
        station.Farewell();
    }
    replay.result = std::move(result);
    return replay;
}

}  // namespace jobs
