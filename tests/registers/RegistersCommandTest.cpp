#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
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

}  // namespace
