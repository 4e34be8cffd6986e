#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "jobs/JobInputs.h"
#include "jobs/UnitLedger.h"
#include "jobs/UnitRun.h"

namespace jobs {

// How a unit that did not pass is told in one line: the step, its file and the first line of
// what it reported.
struct UnitEnd {
    std::string unit;
    UnitOutcome outcome = UnitOutcome::Interrupted;
    UnitFailure failure = UnitFailure::None;
    int steps = 0;  // steps run
    int failedStep = 0;
    std::string file;
    std::string reason;
};

// What a port's loop tells whoever watches it; every call comes from the loop's own thread.
struct LoopEvents {
    std::function<void()> waiting;  // for the next unit
    std::function<void(const std::string& unit, int steps)> started;
    std::function<void(int step, int done, int total)> progress;
    std::function<void(const UnitEnd&)> ended;
    std::function<void()> leaving;                    // waiting for the unit to be carried away
    std::function<void(const std::string&)> refused;  // the loop cannot go on
    std::function<std::optional<std::string>()> nextUnitId;  // an id given from outside, if any
    // A unit whose record could not be written stays open for the next run to record; whether
    // the line goes on. Unset: it stops, refused.
    std::function<bool(const std::string&)> unrecorded;
    // Offered each passing unit's traffic while a golden run is being recorded; true when it took
    // it (that unit is not compared with anything). Set: the job's golden file is not read.
    std::function<bool(const UnitStamp&, const std::string& trace)> recordGolden;
};

struct LoopSettings {
    QString port;
    int baudRate = 4800;
    bool fastPacing = true;
    QString ledger;
    QString operatorName;
    QString station;
    int units = 0;     // 0: until stopped
    bool loop = true;  // false: one unit, asked for once as `tarvex download` asks
};

// Why a loop ended; the session's messages when no unit answered at all.
struct LoopEnd {
    enum class Why { Done, Stopped, Refused, NoController, LineLost } why = Why::Done;
    std::vector<std::string> messages;
};

// One port's line of units, for the station and `tarvex job run` alike: a unit is taken, run,
// recorded and seen to leave before the next (the last is not waited out). Blocks; meant for a
// thread of its own, each port its own thread.
LoopEnd RunPortLoop(const PreparedJob& job, const LoopSettings& settings, const LoopEvents& events,
                    const std::function<bool()>& stopRequested);

// Units a run cut off (killed, the machine down) get their record, as interrupted and with the
// port they were taken for, before this run's first unit; one whose record reached the ledger just
// before the cut is not recorded twice. The units recorded now.
std::vector<OpenUnit> RecordInterruptedUnits(const PreparedJob& job, const QString& ledger,
                                             const QString& station);

// Keeps the wire traffic of a unit that did not pass; its path, or empty when it was not kept.
QString KeepUnitTrace(const std::string& job, const std::string& unit, const std::string& text);

}  // namespace jobs
