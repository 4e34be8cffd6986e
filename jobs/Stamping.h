#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "jobs/JobFile.h"

namespace jobs {

// One unit's values: its id and the register values written into every register file it is sent.
struct UnitStamp {
    std::string unit;
    std::vector<std::pair<int, std::string>> values;  // register number -> value text
};

// The counter's value as its text: zero-padded to `digits` (0: as it is); none when it does
// not fit.
std::optional<std::string> CounterText(std::int64_t value, int digits);

// The register file's bytes with the unit's values in place of the file's own; the file on disk
// is never touched. Empty when a value cannot be written there.
std::string StampRegisters(std::string_view fileBytes, const UnitStamp& stamp);

// Unit rows from a CSV: a header "unit,S0100,S0101..." then one row per unit. Every fault
// names its line.
struct UnitRows {
    std::vector<UnitStamp> rows;
    std::optional<JobFault> fault;
};
UnitRows ReadUnitRows(const std::string& csvName, std::string_view bytes);

}  // namespace jobs
