#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QJsonObject>
#include <QString>

#include "jobs/JobInputs.h"

namespace jobs {

// units.jsonl in the per-user application data folder.
QString DefaultUnitLedgerPath();
// The folder where the wire traces of units that did not pass are kept.
QString TraceFolder();

// Whether a record could be appended now: the folder is made and the file opened for appending.
bool LedgerWritable(const QString& path);
// Appends one whole line under the ledger's lock and waits for it to reach the disk.
bool AppendUnitRecord(const QString& path, const QJsonObject& record);

struct LedgerRead {
    std::vector<QJsonObject> records;
    std::vector<int> skippedLines;  // torn or foreign lines, 1-based
    bool opened = false;
};
LedgerRead ReadUnitLedger(const QString& path);

// The unit numbers a job hands out, kept in a state file beside the job ("NAME.tvjob.state").
// A number is taken, and the state written through the safe write, before the unit starts; it is
// never handed out again, whatever becomes of the unit.
struct TakenUnit {
    std::optional<UnitStamp> stamp;
    std::optional<JobFault> fault;
};
// `owner` (the taking process) and the port it is taken for are kept with the unit until its
// record is written.
TakenUnit TakeUnit(const PreparedJob& job, const std::optional<std::string>& unitId,
                   std::int64_t owner = 0, const std::string& port = {});
// The next `count` units TakeUnit would hand out, without taking them (fewer where the counter
// outgrows its digits or the rows run out; none where the state cannot be read).
std::vector<UnitStamp> NextUnits(const PreparedJob& job, int count);
// The unit's record is in the ledger: it is no longer open.
bool SettleUnit(const PreparedJob& job, const std::string& unit);
// A unit taken and never recorded, with the port it was taken for (empty when not known).
struct OpenUnit {
    UnitStamp stamp;
    std::string port;
};
// Units taken and never recorded by an owner no longer alive: their run was cut off. They pass to
// `self`, so that of two runs starting together only one records them.
std::vector<OpenUnit> AdoptInterrupted(const PreparedJob& job,
                                       const std::function<bool(std::int64_t)>& alive,
                                       std::int64_t self);
// Whether a process of this id is running (false for 0 and below).
bool ProcessAlive(std::int64_t pid);
std::filesystem::path StatePath(const std::filesystem::path& jobPath);

}  // namespace jobs
