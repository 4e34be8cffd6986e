#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "registers/AllRegisters.h"
#include "registers/RegisterFile.h"
#include "tests/common/FileFixtures.h"

namespace {

using namespace registers;
using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;

const std::string kIdent = std::string(kIdentification) + "\r\n";

std::string File(int count, const std::string& eol = "\r\n") {
    std::string bytes = kIdent;
    for (int k = 0; k < count; ++k)
        bytes += RegisterLine(k, "v" + std::to_string(k)) + eol;
    return bytes;
}

TEST(AllRegisters, OnePassReadsWhatThePageReadsRead) {
    const std::string files[] = {File(4096),
                                 File(100),
                                 File(4096, "\n"),
                                 File(30) + "[S0030] = x",
                                 kIdent + "[S0000] = a\r\nshort\r\n[S0002] = c\r\n",
                                 kIdent};
    for (const std::string& bytes : files) {
        const AllTexts all = AllRegistersOfBytes(bytes);
        ASSERT_EQ(all.size(), std::size_t(kRegisterCount));
        for (int base = 0; base <= kLastPageBase; base += kPageSize) {
            const PageRead page = ReadRegisterPageBytes(bytes, base);
            // The last page reaches past register 4095.
            for (int r = 0; r < kPageSize && base + r < kRegisterCount; ++r)
                ASSERT_EQ(all[std::size_t(base + r)], page.texts[std::size_t(r)])
                    << "register " << base + r;
        }
    }
}

TEST(AllRegisters, WritingAllGivesWhatPageWritesGive) {
    TempDir dir("tarvex-allregs");
    const std::string old = File(50);
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::string>> changes;
    } cases[] = {
        {"one register", {{30, "7"}}},
        {"two pages apart", {{0, "-5"}, {4095, "x"}}},
        {"the same text again", {{3, "v3"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto all = dir / "all.dat";
        const auto paged = dir / "paged.dat";
        WriteFile(all, old);
        WriteFile(paged, old);
        AllTexts texts = AllRegistersOfBytes(old);
        for (const auto& [k, text] : c.changes)
            texts[std::size_t(k)] = text;
        ASSERT_EQ(WriteAllRegisters(all, texts).status, WriteStatus::Done);
        // The editor's way: each changed page as the table shows it, one page write each.
        const AllTexts shown = AllRegistersOfBytes(old);
        for (int base = 0; base <= kLastPageBase; base += kPageSize) {
            PageTexts before;
            PageTexts page;
            for (int r = 0; r < kPageSize && base + r < kRegisterCount; ++r) {
                before[std::size_t(r)] = shown[std::size_t(base + r)];
                page[std::size_t(r)] = texts[std::size_t(base + r)];
            }
            if (page != before) {
                ASSERT_EQ(WriteRegisterPage(paged, base, page).status, WriteStatus::Done);
            }
        }
        EXPECT_EQ(ReadFile(all), ReadFile(paged));
    }
    // Nothing changed: the short file stays as it was, not even completed.
    WriteFile(dir / "same.dat", old);
    EXPECT_EQ(WriteAllRegisters(dir / "same.dat", AllRegistersOfBytes(old)).status,
              WriteStatus::Done);
    EXPECT_EQ(ReadFile(dir / "same.dat"), old);
    EXPECT_EQ(WriteAllRegisters(dir / "none.dat", AllRegistersOfBytes(old)).status,
              WriteStatus::CannotOpen);
}

TEST(AllRegisters, DiffComparesTheNumbersTheTextsGive) {
    AllTexts a(kRegisterCount, "0");
    AllTexts b = a;
    b[0] = "";  // no digits give 0 too
    b[1] = "00";
    b[12] = "7";
    b[13] = " 5x";  // 5
    a[13] = "5";
    b[4095] = "-1";
    const std::vector<Difference> diff = DiffRegisters(a, b);
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(diff[0].number, 12);
    EXPECT_EQ(diff[0].before, "0");
    EXPECT_EQ(diff[0].after, "7");
    EXPECT_EQ(diff[1].number, 4095);
    EXPECT_TRUE(DiffRegisters(a, a).empty());
    // Registers a file lacks read as empty, which gives 0.
    EXPECT_EQ(DiffRegisters(AllTexts(10, "0"), AllTexts(12, "0")).size(), 0u);
    EXPECT_EQ(DiffRegisters(AllTexts(10, "1"), AllTexts(12, "2")).size(), 12u);
}

TEST(AllRegisters, CsvRoundTripKeepsEveryText) {
    AllTexts texts(kRegisterCount, "0");
    const std::string odd[] = {
        "", "a,b", "say \"x\"", " -5", "5 ", "123456789", "\xBC\xC4\xB4\xE6", "\"", ",", "="};
    for (std::size_t i = 0; i < std::size(odd); ++i)
        texts[i * 400] = odd[i];
    const std::string csv = ExportCsv(texts);
    EXPECT_EQ(csv.substr(0, 23), "number,value\r\nS0000,\r\nS");
    const CsvRead read = ParseCsv(csv);
    ASSERT_TRUE(read.problems.empty()) << CsvProblemText(read.problems[0]);
    ASSERT_EQ(read.rows.size(), std::size_t(kRegisterCount));
    for (const CsvRow& row : read.rows)
        EXPECT_EQ(row.value, texts[std::size_t(row.number)]) << row.number;
}

TEST(AllRegisters, CsvRowsAndTheirProblems) {
    struct Case {
        const char* name;
        std::string csv;
        std::vector<std::pair<int, std::string>> rows;
        std::vector<std::pair<int, CsvFault>> problems;
    } cases[] = {
        {"header, S and plain numbers",
         "number,value\nS0012,5\n13,6\ns14,7\n",
         {{12, "5"}, {13, "6"}, {14, "7"}},
         {}},
        {"CR LF, BOM and blank lines",
         "\xEF\xBB\xBFS1,a\r\n\r\n  \r\nS2,b",
         {{1, "a"}, {2, "b"}},
         {}},
        {"quoted comma and quote", "S3,\"a,\"\"b\"\"\"\n", {{3, "a,\"b\""}}, {}},
        {"header only on line 1", "S1,1\nnumber,value\n", {{1, "1"}}, {{2, CsvFault::BadNumber}}},
        {"past the last register", "S4096,1\n", {}, {{1, CsvFault::BadNumber}}},
        {"five digits", "S00012,1\n", {}, {{1, CsvFault::BadNumber}}},
        {"negative", "-1,1\n", {}, {{1, CsvFault::BadNumber}}},
        {"twice", "S5,1\n5,2\n", {{5, "1"}}, {{2, CsvFault::Duplicate}}},
        {"three columns", "S5,1,2\n", {}, {{1, CsvFault::Columns}}},
        {"one column", "S5\n", {}, {{1, CsvFault::Columns}}},
        {"open quote", "S5,\"1\n", {}, {{1, CsvFault::Quote}}},
        {"ten characters", "S5,1234567890\n", {}, {{1, CsvFault::TooLong}}},
        {"line break in quotes, then rows counted by line",
         "S5,\"1\n2\"\nS6,x\nS7,12345678901\n",
         {{6, "x"}},
         {{1, CsvFault::LineBreak}, {4, CsvFault::TooLong}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CsvRead read = ParseCsv(c.csv);
        std::vector<std::pair<int, std::string>> rows;
        for (const CsvRow& row : read.rows)
            rows.emplace_back(row.number, row.value);
        EXPECT_EQ(rows, c.rows);
        std::vector<std::pair<int, CsvFault>> problems;
        for (const CsvProblem& problem : read.problems)
            problems.emplace_back(problem.row, problem.fault);
        EXPECT_EQ(problems, c.problems);
    }
    EXPECT_EQ(CsvProblemText({4, CsvFault::TooLong, "S0007"}),
              "第4行：寄存器S0007的数值多于9个字符。");
}

TEST(AllRegisters, ValueRules) {
    EXPECT_EQ(CheckValueText("123456789"), ValueFault::None);
    EXPECT_EQ(CheckValueText(""), ValueFault::None);
    EXPECT_EQ(CheckValueText("1234567890"), ValueFault::TooLong);
    EXPECT_EQ(CheckValueText("1\r"), ValueFault::LineBreak);
    EXPECT_EQ(CheckValueText("1\n"), ValueFault::LineBreak);
}

}  // namespace
