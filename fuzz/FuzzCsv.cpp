// Any bytes as a CSV file for `registers import`: reading must never crash; rows it accepts name
// registers in range, once each, with texts a register file can hold; and when it accepts the
// file, the export of the imported texts reads back as the same values.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/Broken.h"
#include "registers/AllRegisters.h"

namespace {

using namespace registers;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string csv(reinterpret_cast<const char*>(data), size);
    const CsvRead read = ParseCsv(csv);
    std::vector<bool> seen(kRegisterCount, false);
    AllTexts texts(kRegisterCount);
    for (const CsvRow& row : read.rows) {
        Check(row.number >= 0 && row.number < kRegisterCount, "register out of range");
        Check(!seen[std::size_t(row.number)], "register imported twice");
        seen[std::size_t(row.number)] = true;
        Check(CheckValueText(row.value) == ValueFault::None, "value a register cannot hold");
        Check(row.value.find('\0') == std::string::npos, "NUL imported");
        texts[std::size_t(row.number)] = row.value;
    }
    for (const CsvWarning& warning : read.warnings)
        Check(!ReadsAsWritten(warning.value), "warned of a value that reads as written");
    for (const CsvProblem& problem : read.problems)
        Check(problem.row >= 1, "problem without its row");
    if (!read.problems.empty())
        return 0;
    const CsvRead again = ParseCsv(ExportCsv(texts));
    Check(again.problems.empty(), "the export of an import is refused");
    AllTexts back(kRegisterCount);
    for (const CsvRow& row : again.rows)
        back[std::size_t(row.number)] = row.value;
    Check(back == texts, "the export of an import reads back otherwise");
    return 0;
}
