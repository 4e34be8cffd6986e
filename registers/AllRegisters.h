#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "registers/RegisterFile.h"

// All 4096 registers of a register file at once: the table window and the registers command
// read, compare, export and import them here.
namespace registers {

// Value texts of registers 0 to 4095; registers the file lacks are empty.
using AllTexts = std::vector<std::string>;

enum class ReadAllStatus { Done, CannotOpen, NotRegisterFile };
struct AllRead {
    ReadAllStatus status = ReadAllStatus::CannotOpen;
    AllTexts texts;
    std::error_code cause;  // why the file could not be read
};
AllRead ReadAllRegisters(const std::filesystem::path& path);
AllTexts AllRegistersOfBytes(std::string_view contents);

// Puts every page whose texts differ from `loaded` (what the texts were read as; the file as it
// is now when null) through the page rewrite, in memory, then replaces the file in one safe
// write: all pages or none. Nothing changed, nothing is written. Pages someone else wrote since
// `loaded` was read stay as they wrote them unless these texts change them too.
WriteResult WriteAllRegisters(const std::filesystem::path& path, const AllTexts& texts,
                              const AllTexts* loaded = nullptr);

// Two texts differ when the numbers they give differ: the number is what the parameter download
// sends, so "05" and "5" are the same register value.
bool ValuesDiffer(std::string_view a, std::string_view b);

struct Difference {
    int number = 0;
    std::string before;
    std::string after;
};
std::vector<Difference> DiffRegisters(const AllTexts& a, const AllTexts& b);

// "number,value" and one "S0000,TEXT" row per register, lines ended by CR LF; texts holding a
// comma or a quote are quoted. The bytes are the register file's own.
std::string ExportCsv(const AllTexts& texts);

enum class CsvFault { BadNumber, Duplicate, Columns, Quote, TooLong, LineBreak, Nul };
struct CsvProblem {
    int row = 0;  // line of the CSV file the row starts on, from 1
    CsvFault fault = CsvFault::BadNumber;
    std::string field;  // the register number as written
};
struct CsvRow {
    int number = 0;
    std::string value;
};
// A value the parameter download would send as another number than its text shows ("12,5" goes
// out as 12): imported as written, but the user is told.
struct CsvWarning {
    int row = 0;
    int number = 0;
    std::string value;
    std::int32_t reads = 0;  // what the controller gets
};
struct CsvRead {
    std::vector<CsvRow> rows;
    std::vector<CsvProblem> problems;  // any problem refuses the whole import
    std::vector<CsvWarning> warnings;
};
// Far more than a row for every register, quoted and with a header: the most a CSV import reads.
inline constexpr std::size_t kMostCsvBytes = std::size_t{4} << 20;

// Rows "S0012,5" or "12,5"; a first row "number,value" and empty lines are skipped. Registers not
// named keep their values.
CsvRead ParseCsv(std::string_view csv);

// "第3行：..." for the problem, as the user reads it.
std::string CsvProblemText(const CsvProblem& problem);
std::string CsvWarningText(const CsvWarning& warning);

// Whether the parameter download sends the number the text shows: blanks around an optional sign
// and digits, within the controller's range. An empty text is no number and sends nothing odd.
bool ReadsAsWritten(std::string_view value);

// "S0012" for 12.
std::string RegisterName(int number);

}  // namespace registers
