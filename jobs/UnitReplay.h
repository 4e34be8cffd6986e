#pragma once

#include <filesystem>
#include <optional>

#include <QJsonObject>
#include <QString>

#include "jobs/UnitRun.h"

namespace jobs {

// The unit of a record as it was stamped: its id and the values of its "stamp".
UnitStamp RecordedStamp(const QJsonObject& record);

// Runs a recorded unit again, with its own stamped values, against the controller at
// `devicePath` (a virtual controller replaying the unit's trace), so the same failure shows again.
// Nothing is recorded and no unit number is taken.
struct UnitReplay {
    std::optional<UnitResult> result;
    std::optional<JobFault> fault;  // the job could not be read or prepared
};
UnitReplay ReplayUnit(const std::filesystem::path& jobPath, const QJsonObject& record,
                      const QString& devicePath);

}  // namespace jobs
