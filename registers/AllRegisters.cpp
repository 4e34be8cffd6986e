#include "registers/AllRegisters.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <iterator>

#include "common/DecimalValue.h"
#include "common/FileIo.h"
#include "common/Messages.h"

namespace registers {
namespace fs = std::filesystem;

namespace {

void PageOf(const AllTexts& texts, int base, PageTexts& page) {
    for (int r = 0; r < kPageSize; ++r) {
        const int k = base + r;
        page[std::size_t(r)] = k < int(texts.size()) ? texts[std::size_t(k)] : std::string();
    }
}

bool ReadBytes(const fs::path& path, std::string& bytes, std::error_code& cause) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        cause = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    errno = 0;
    switch (fileio::ReadLimited(path, kMostRegisterFileBytes, bytes)) {
        case fileio::ReadStatus::Ok:
            return true;
        case fileio::ReadStatus::TooLarge:
            cause = std::make_error_code(std::errc::file_too_large);
            return false;
        case fileio::ReadStatus::Unreadable:
            break;
    }
    cause = fileio::LastError();
    return false;
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "S0012", "s12" or "12"; -1 when the text names no register of the file.
int ParseNumber(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && (text.front() == 'S' || text.front() == 's'))
        text.remove_prefix(1);
    if (!IsDigits(text) || text.size() > 4)
        return -1;
    const int n = text::DecimalValue(text);
    return n < kRegisterCount ? n : -1;
}

// One CSV record from `pos`: its fields, whether a quote was left open, and whether a quoted field
// held a line break. Advances `pos` and `line` past the record's end.
struct Record {
    std::vector<std::string> fields;
    bool openQuote = false;
    bool lineBreak = false;
};

Record NextRecord(std::string_view csv, std::size_t& pos, int& line) {
    Record record;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    while (pos < csv.size()) {
        const char c = csv[pos++];
        if (quoted) {
            if (c == '"') {
                if (pos < csv.size() && csv[pos] == '"') {
                    field += '"';
                    ++pos;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n' || c == '\r') {
                    record.lineBreak = true;
                    if (c == '\n')
                        ++line;
                }
                field += c;
            }
        } else if (c == '"' && !wasQuoted && Trimmed(field).empty()) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == ',') {
            record.fields.push_back(std::move(field));
            field.clear();
            wasQuoted = false;
        } else if (c == '\n') {
            ++line;
            break;
        } else if (c == '\r' && pos < csv.size() && csv[pos] == '\n') {
            // Ended by the LF that follows.
        } else {
            field += c;
        }
    }
    record.openQuote = quoted;
    record.fields.push_back(std::move(field));
    return record;
}

}  // namespace

std::string RegisterName(int number) {
    return 'S' + FourDigits(number);
}

AllTexts AllRegistersOfBytes(std::string_view contents) {
    AllTexts texts(kRegisterCount);
    // Line 2 + k holds register k; one pass over the lines instead of a read per page.
    std::size_t pos = 0;
    int k = -1;
    while (pos < contents.size() && k < kRegisterCount) {
        std::size_t end = contents.find('\n', pos);
        const bool last = end == std::string_view::npos;
        if (last)
            end = contents.size();
        std::string_view line = contents.substr(pos, end - pos);
        if (!last && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (k >= 0 && line.size() > kPrefixLength)
            texts[std::size_t(k)] = std::string(line.substr(kPrefixLength));
        ++k;
        pos = end + 1;
    }
    return texts;
}

AllRead ReadAllRegisters(const fs::path& path) {
    AllRead result;
    std::string bytes;
    if (!ReadBytes(path, bytes, result.cause))
        return result;
    if (CheckRegisterBytes(bytes) != CheckResult::RegisterFile) {
        result.status = ReadAllStatus::NotRegisterFile;
        return result;
    }
    result.status = ReadAllStatus::Done;
    result.texts = AllRegistersOfBytes(bytes);
    return result;
}

namespace {

// What the file holds now, with the registers these texts change: all of them, or where `loaded`
// is given only those whose text differs from it, so that registers someone else wrote since
// `loaded` was read keep what they wrote.
AllTexts Merged(const AllTexts& now, const AllTexts& texts, const AllTexts* loaded) {
    AllTexts merged = now;
    const std::size_t count = std::min(merged.size(), texts.size());
    for (std::size_t k = 0; k < count; ++k) {
        if (loaded == nullptr || k >= loaded->size() || texts[k] != (*loaded)[k])
            merged[k] = texts[k];
    }
    return merged;
}

WriteStatus RewriteChangedPages(std::string_view current, const AllTexts& texts,
                                const AllTexts* loaded, std::string& rewritten) {
    if (CheckRegisterBytes(current) != CheckResult::RegisterFile)
        return WriteStatus::CannotOpen;
    const AllTexts now = AllRegistersOfBytes(current);
    const AllTexts merged = Merged(now, texts, loaded);
    std::string bytes(current);
    std::string next;
    bool changed = false;
    for (int base = 0; base <= kLastPageBase; base += kPageSize) {
        PageTexts page;
        PageTexts old;
        PageOf(merged, base, page);
        PageOf(now, base, old);
        if (page == old)
            continue;
        if (const WriteStatus status = RewriteRegisterPageBytes(bytes, base, page, next);
            status != WriteStatus::Done)
            return status;
        bytes.swap(next);
        changed = true;
    }
    if (changed)
        rewritten = std::move(bytes);
    return WriteStatus::Done;
}

}  // namespace

WriteResult WriteAllRegisters(const fs::path& path, const AllTexts& texts, const AllTexts* loaded) {
    return ModifyRegisterFile(path, [&](std::string_view current, std::string& rewritten) {
        return RewriteChangedPages(current, texts, loaded, rewritten);
    });
}

bool ValuesDiffer(std::string_view a, std::string_view b) {
    return text::DecimalValue(a) != text::DecimalValue(b);
}

std::vector<Difference> DiffRegisters(const AllTexts& a, const AllTexts& b) {
    std::vector<Difference> differences;
    const std::size_t count = std::max(a.size(), b.size());
    static const std::string kNone;
    for (std::size_t k = 0; k < count; ++k) {
        const std::string& before = k < a.size() ? a[k] : kNone;
        const std::string& after = k < b.size() ? b[k] : kNone;
        if (ValuesDiffer(before, after))
            differences.push_back({int(k), before, after});
    }
    return differences;
}

std::string ExportCsv(const AllTexts& texts) {
    std::string csv = "number,value\r\n";
    csv.reserve(texts.size() * 16);
    for (std::size_t k = 0; k < texts.size(); ++k) {
        csv += RegisterName(int(k));
        csv += ',';
        const std::string& text = texts[k];
        if (text.find_first_of(",\"\r") == std::string::npos &&
            Trimmed(text).size() == text.size()) {
            csv += text;
        } else {
            csv += '"';
            for (const char c : text) {
                if (c == '"')
                    csv += '"';
                csv += c;
            }
            csv += '"';
        }
        csv += "\r\n";
    }
    return csv;
}

std::string CsvProblemText(const CsvProblem& problem) {
    static constexpr msg::Id kTexts[] = {
        msg::Id::RegistersCsvBadNumber, msg::Id::RegistersCsvDuplicate,
        msg::Id::RegistersCsvColumns,   msg::Id::RegistersCsvQuote,
        msg::Id::RegistersCsvTooLong,   msg::Id::RegistersCsvLineBreak,
        msg::Id::RegistersCsvNul,
    };
    return msg::Text(kTexts[int(problem.fault)], {std::to_string(problem.row), problem.field});
}

std::string CsvWarningText(const CsvWarning& warning) {
    return msg::Text(msg::Id::CsvValueReadsAs,
                     {std::to_string(warning.row), RegisterName(warning.number), warning.value,
                      std::to_string(warning.reads)});
}

bool ReadsAsWritten(std::string_view value) {
    const std::string_view number = Trimmed(value);
    if (number.empty())
        return true;
    const std::size_t digits = number.front() == '+' || number.front() == '-' ? 1 : 0;
    if (number.size() == digits ||
        number.find_first_not_of("0123456789", digits) != std::string_view::npos)
        return false;
    std::int64_t n = 0;
    const auto [end, ec] =
        std::from_chars(number.data() + digits, number.data() + number.size(), n);
    (void)end;
    return ec == std::errc() && (number.front() == '-' ? -n : n) == text::DecimalValue(number);
}

CsvRead ParseCsv(std::string_view csv) {
    CsvRead result;
    if (csv.substr(0, 3) == "\xEF\xBB\xBF")
        csv.remove_prefix(3);
    std::vector<int> seen(kRegisterCount, 0);
    std::size_t pos = 0;
    int line = 1;
    while (pos < csv.size()) {
        const int row = line;
        const Record record = NextRecord(csv, pos, line);
        auto refuse = [&](CsvFault fault, std::string field = {}) {
            result.problems.push_back({row, fault, std::move(field)});
        };
        if (record.fields.size() == 1 && Trimmed(record.fields[0]).empty() && !record.openQuote)
            continue;
        if (record.openQuote) {
            refuse(CsvFault::Quote);
            continue;
        }
        // A NUL would cut the value short wherever it is read as a C string.
        if (std::any_of(record.fields.begin(), record.fields.end(),
                        [](const std::string& f) { return f.find('\0') != std::string::npos; })) {
            refuse(CsvFault::Nul);
            continue;
        }
        if (record.fields.size() != 2) {
            refuse(CsvFault::Columns);
            continue;
        }
        const std::string& name = record.fields[0];
        if (row == 1 && Trimmed(name) == "number")
            continue;
        const int number = ParseNumber(name);
        if (number < 0) {
            refuse(CsvFault::BadNumber, name);
            continue;
        }
        if (seen[std::size_t(number)] != 0) {
            refuse(CsvFault::Duplicate, RegisterName(number));
            continue;
        }
        seen[std::size_t(number)] = row;
        const std::string& value = record.fields[1];
        switch (CheckValueText(value)) {
            case ValueFault::TooLong:
                refuse(CsvFault::TooLong, RegisterName(number));
                continue;
            case ValueFault::LineBreak:
                refuse(CsvFault::LineBreak, RegisterName(number));
                continue;
            case ValueFault::None:
                break;
        }
        result.rows.push_back({number, value});
        if (!ReadsAsWritten(value))
            result.warnings.push_back({row, number, value, text::DecimalValue(value)});
    }
    return result;
}

}  // namespace registers
