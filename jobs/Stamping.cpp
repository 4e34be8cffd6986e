#include "jobs/Stamping.h"

#include <algorithm>

#include "registers/RegisterFile.h"

namespace jobs {
namespace {

std::vector<std::string> SplitCells(std::string_view line) {
    std::vector<std::string> cells;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = line.find(',', from);
        std::string cell(
            line.substr(from, comma == std::string_view::npos ? line.npos : comma - from));
        while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\r'))
            cell.pop_back();
        cell.erase(0, std::min(cell.size(), cell.find_first_not_of(' ')));
        cells.push_back(std::move(cell));
        if (comma == std::string_view::npos)
            return cells;
        from = comma + 1;
    }
}

// "S0100" (or "s100") as 100; none for anything else or a register outside the file.
std::optional<int> RegisterColumn(const std::string& name) {
    if (name.size() < 2 || (name[0] != 'S' && name[0] != 's') || name.size() > 5)
        return std::nullopt;
    if (!std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int number = std::stoi(name.substr(1));
    return number < kRegisterCount ? std::optional<int>(number) : std::nullopt;
}

}  // namespace

std::optional<std::string> CounterText(std::int64_t value, int digits) {
    std::string text = std::to_string(value);
    if (digits > 0 && text.size() > static_cast<std::size_t>(digits))
        return std::nullopt;
    if (text.size() > registers::kMaxValueText)
        return std::nullopt;
    text.insert(0, digits > 0 ? static_cast<std::size_t>(digits) - text.size() : 0, '0');
    return text;
}

std::string StampRegisters(std::string_view fileBytes, const UnitStamp& stamp) {
    std::string bytes(fileBytes);
    for (const auto& [number, text] : stamp.values) {
        const int base = number / registers::kPageSize * registers::kPageSize;
        registers::PageRead page = registers::ReadRegisterPageBytes(bytes, base);
        if (page.status != registers::ReadStatus::Done)
            return {};
        page.texts[static_cast<std::size_t>(number - base)] = text;
        std::string rewritten;
        if (registers::RewriteRegisterPageBytes(bytes, base, page.texts, rewritten) !=
            registers::WriteStatus::Done)
            return {};
        bytes = std::move(rewritten);
    }
    return bytes;
}

UnitRows ReadUnitRows(const std::string& csvName, std::string_view bytes) {
    UnitRows result;
    std::vector<int> columns;
    int lineNumber = 0;
    const auto fail = [&](msg::Id id, std::vector<std::string> args) {
        args.insert(args.begin(), {csvName, std::to_string(lineNumber)});
        result.fault = JobFault{id, std::move(args), 1};
        result.rows.clear();
    };
    while (!bytes.empty() && !result.fault) {
        const std::size_t nl = bytes.find('\n');
        const std::string_view line = bytes.substr(0, nl);
        bytes.remove_prefix(nl == bytes.npos ? bytes.size() : nl + 1);
        ++lineNumber;
        std::vector<std::string> cells = SplitCells(line);
        if (cells.size() == 1 && cells[0].empty())
            continue;
        if (lineNumber == 1) {
            if (cells[0] != "unit" || cells.size() < 2)
                fail(msg::Id::JobCsvBadHeader, {});
            for (std::size_t i = 1; i < cells.size() && !result.fault; ++i) {
                if (const auto reg = RegisterColumn(cells[i]))
                    columns.push_back(*reg);
                else
                    fail(msg::Id::JobCsvBadColumn, {cells[i]});
            }
            continue;
        }
        if (cells.size() != columns.size() + 1 || cells[0].empty()) {
            fail(msg::Id::JobCsvBadRow, {});
            continue;
        }
        if (std::any_of(result.rows.begin(), result.rows.end(),
                        [&](const UnitStamp& u) { return u.unit == cells[0]; })) {
            fail(msg::Id::JobCsvDuplicateUnit, {cells[0]});
            continue;
        }
        UnitStamp unit{cells[0], {}};
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (registers::CheckValueText(cells[i + 1]) != registers::ValueFault::None)
                fail(msg::Id::JobCsvBadRow, {});
            unit.values.emplace_back(columns[i], cells[i + 1]);
        }
        result.rows.push_back(std::move(unit));
    }
    if (!result.fault && columns.empty()) {
        lineNumber = 1;
        fail(msg::Id::JobCsvBadHeader, {});
    }
    return result;
}

}  // namespace jobs
