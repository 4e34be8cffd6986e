#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "registers/AllRegisters.h"
#include "registers/RegisterFile.h"
#include "tests/common/FileFixtures.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Registers(std::vector<std::string> words) {
    const std::vector<std::string_view> args(words.begin(), words.end());
    std::ostringstream out, err;
    const int status = cli::RunRegisters(args, out, err);
    return {status, out.str(), err.str()};
}

using testfs::ReadFile;

class RegistersCommand : public testing::Test {
protected:
    std::vector<std::string> WriteWords(const std::string& base) {
        std::vector<std::string> words{"write", file_, base};
        for (int r = 0; r < 24; ++r)
            words.push_back(std::to_string(r - 3));
        return words;
    }

    testfs::TempDir dir_{"tarvex-regcli"};
    std::string file_ = (dir_ / "a.dat").string();
};

TEST_F(RegistersCommand, NewWriteAndReadAPage) {
    ASSERT_EQ(Registers({"new", file_}).status, 0);
    EXPECT_EQ(ReadFile(file_), std::string(registers::kIdentification) + "\r\n");

    const Outcome written = Registers(WriteWords("50"));
    ASSERT_EQ(written.status, 0) << written.err;
    const Outcome page = Registers({"read", file_, "48"});
    EXPECT_EQ(page.status, 0);
    std::string expected;
    for (int r = 0; r < 24; ++r)
        expected += std::to_string(r - 3) + "\n";
    EXPECT_EQ(page.out, expected);
    EXPECT_EQ(Registers({"read", file_, "0"}).out.substr(0, 4), "0\n0\n");
    EXPECT_EQ(registers::ReadRegisterPage(file_, 4080).texts[15], "0");
}

TEST_F(RegistersCommand, RefusesWhatWouldLeaveTheFormat) {
    ASSERT_EQ(Registers({"new", file_}).status, 0);
    const std::string before = ReadFile(file_);
    auto tooLong = WriteWords("0");
    tooLong[10] = "1234567890";
    auto tooFew = WriteWords("0");
    tooFew.pop_back();
    const struct {
        const char* name;
        std::vector<std::string> words;
        int status;
    } cases[] = {
        {"base past the last page", WriteWords("4104"), 64},
        {"negative base", WriteWords("-1"), 64},
        {"five digits", WriteWords("99999"), 64},
        {"base not a number", WriteWords("4x"), 64},
        {"value over nine characters", tooLong, 64},
        {"23 values", tooFew, 64},
        {"read past the last page", {"read", file_, "4104"}, 64},
        {"unknown action", {"erase", file_}, 64},
        {"missing file", {"read", (dir_ / "none.dat").string(), "0"}, 4},
    };
    for (const auto& c : cases) {
        const Outcome run = Registers(c.words);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_FALSE(run.err.empty()) << c.name;
        EXPECT_EQ(ReadFile(file_), before) << c.name;
    }
    EXPECT_EQ(Registers({"read", file_, "4103"}).status, 0);
}

TEST_F(RegistersCommand, FileOfAnotherKindIsLeftAlone) {
    testfs::WriteFile(file_, "not a register file\r\n");
    const Outcome run = Registers(WriteWords("0"));
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, "文件格式不正确！请确认你选择的是RVL412E寄存器文件。\n");
    EXPECT_EQ(ReadFile(file_), "not a register file\r\n");
}

TEST_F(RegistersCommand, NewInAMissingFolderNamesTheFile) {
    const std::string path = (dir_ / "no folder" / "a.dat").string();
    const Outcome run = Registers({"new", path});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "没有找到 " + path + "。\n");
}

TEST_F(RegistersCommand, DiffPrintsDifferingValuesAndSaysSoInItsStatus) {
    const std::string other = (dir_ / "b.dat").string();
    ASSERT_EQ(Registers({"new", file_}).status, 0);
    ASSERT_EQ(Registers(WriteWords("0")).status, 0);
    ASSERT_EQ(Registers({"new", other}).status, 0);
    auto words = WriteWords("0");
    words[1] = other;
    words[3 + 12] = "7";  // register 12 held 9
    words[3 + 4] = "01";  // register 4 held 1: the same number
    ASSERT_EQ(Registers(words).status, 0);

    const Outcome differ = Registers({"diff", file_, other});
    EXPECT_EQ(differ.status, 1);
    EXPECT_EQ(differ.out, "S0012: 9 -> 7\n");
    const Outcome same = Registers({"diff", file_, file_});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(Registers({"diff", file_}).status, 64);
    EXPECT_EQ(Registers({"diff", file_, (dir_ / "none.dat").string()}).status, 4);
}

TEST_F(RegistersCommand, CsvExportAndImportRoundTrip) {
    const std::string csv = (dir_ / "a.csv").string();
    const std::string copy = (dir_ / "copy.dat").string();
    ASSERT_EQ(Registers({"new", file_}).status, 0);
    auto words = WriteWords("4080");
    words[3 + 2] = "a,b";
    ASSERT_EQ(Registers(words).status, 0);
    ASSERT_EQ(Registers({"export", file_, csv}).status, 0);
    EXPECT_NE(ReadFile(csv).find("\r\nS4082,\"a,b\"\r\n"), std::string::npos);

    ASSERT_EQ(Registers({"new", copy}).status, 0);
    const Outcome imported = Registers({"import", copy, csv});
    ASSERT_EQ(imported.status, 0) << imported.err;
    // Every register's text came across; the last page write also adds S4096 to S4103, which no
    // CSV row names.
    EXPECT_TRUE(registers::ReadAllRegisters(copy).texts ==
                registers::ReadAllRegisters(file_).texts);
    EXPECT_EQ(Registers({"diff", file_, copy}).status, 0);
    // Importing the same rows again changes nothing.
    const std::string once = ReadFile(copy);
    ASSERT_EQ(Registers({"import", copy, csv}).status, 0);
    EXPECT_TRUE(ReadFile(copy) == once);
}

TEST_F(RegistersCommand, RefusedImportRowsLeaveTheFileAlone) {
    ASSERT_EQ(Registers({"new", file_}).status, 0);
    ASSERT_EQ(Registers(WriteWords("0")).status, 0);
    const std::string before = ReadFile(file_);
    const std::string csv = (dir_ / "in.csv").string();
    const struct {
        const char* name;
        std::string csv;
        int status;
        std::string err;  // after the CSV file's name
    } cases[] = {
        {"value too long", "S0001,1\nS0002,1234567890\n", 1,
         " 未导入，寄存器文件没有改动：\n第2行：寄存器S0002的数值多于9个字符。\n"},
        {"two faults, both named", "x,1\nS1,1\n1,2\n", 1,
         " 未导入，寄存器文件没有改动：\n第1行：寄存器号“x”不正确，应为S0000到S4095。\n"
         "第3行：寄存器S0001重复出现。\n"},
        {"open quote", "S1,\"1\n", 1, " 未导入，寄存器文件没有改动：\n第1行：引号不成对。\n"},
        {"a NUL byte", std::string("S0001,1\n\"S2\",7\0\n", 16), 1,
         " 未导入，寄存器文件没有改动：\n第2行：含有空字符（NUL）。\n"},
        {"no csv file", "", 4, ""},
        {"missing csv argument", "", 64, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(csv);
        if (!c.csv.empty())
            testfs::WriteFile(csv, c.csv);
        const Outcome run =
            c.status == 64 ? Registers({"import", file_}) : Registers({"import", file_, csv});
        EXPECT_EQ(run.status, c.status);
        if (!c.err.empty()) {
            EXPECT_EQ(run.err, csv + c.err);
        }
        EXPECT_EQ(ReadFile(file_), before);
    }
}

// Imported as written, but the user learns what the parameter download will send instead.
TEST_F(RegistersCommand, ImportWarnsOfValuesTheControllerReadsOtherwise) {
    ASSERT_EQ(Registers({"new", file_}).status, 0);
    const std::string csv = (dir_ / "in.csv").string();
    testfs::WriteFile(csv, "S0001,\"12,5\"\nS0002, -7 \nS0003,1e3\nS0004,\n");
    const Outcome run = Registers({"import", file_, csv});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "第1行：S0001 的值“12,5”，控制器将读作 12\n"
              "第3行：S0003 的值“1e3”，控制器将读作 1\n");
    const registers::AllTexts texts = registers::ReadAllRegisters(file_).texts;
    EXPECT_EQ(texts[1], "12,5");
    EXPECT_EQ(texts[3], "1e3");
}

// A listing that did not reach its reader is an output failure, whatever the differences.
TEST_F(RegistersCommand, DiffIntoAFailingOutputIsAnOutputFailure) {
    const std::string other = (dir_ / "b.dat").string();
    ASSERT_EQ(Registers({"new", file_}).status, 0);
    ASSERT_EQ(Registers(WriteWords("0")).status, 0);
    ASSERT_EQ(Registers({"new", other}).status, 0);
    std::ostream full(nullptr);
    std::ostringstream err;
    const std::vector<std::string_view> args{"diff", file_, other};
    EXPECT_EQ(cli::RunRegisters(args, full, err), 74);
}

}  // namespace
