#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QString>

#include "jobs/JobInputs.h"
#include "jobs/UnitRun.h"

namespace jobs {

// How a unit that did not pass is told in one line: the step, its file and the first line of
// what it reported.
struct UnitEnd {
    std::string unit;
    UnitOutcome outcome = UnitOutcome::Interrupted;
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
};

struct LoopSettings {
    QString port;
    int baudRate = 4800;
    bool fastPacing = true;
    QString ledger;
    QString operatorName;
    QString station;
    int units = 0;  // 0: until stopped
};

// One port's line of units, the way `tarvex job run --loop` runs it: a unit is taken, run,
// recorded and seen to leave before the next. Blocks; meant for a thread of its own, each
// port its own thread.
void RunPortLoop(const PreparedJob& job, const LoopSettings& settings, const LoopEvents& events,
                 const std::function<bool()>& stopRequested);

// Keeps the wire traffic of a unit that did not pass; its path, or empty when it was not kept.
QString KeepUnitTrace(const std::string& job, const std::string& unit, const std::string& text);

}  // namespace jobs
