// `tarvex check --format=gcc` as editors and CI read it: the same findings as the plain listing,
// with the column of the faulty piece, and lines the published gcc problem matchers take.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRunner.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A GBK comment before the faults, a CJK label, a fault of the whole line's kind is not here (it
// needs 2049 code lines), and no END.
const std::string kProgram =
    "; \xD2\xC6\xB6\xAF\xB5\xE7\xBB\xFA\r\n"        // ; 移动电机
    "\xB1\xEA\xBA\xC5:  MOV M1,x   ' \xD7\xA2\r\n"  // 标号:  MOV M1,x   ' 注
    "        FOO 1\r\n"
    "\tJLD \xB1\xEA\xBA\xC5,M1,3000000000000\r\n"
    "        MOV M1,5,6\r\n";

// As VS Code ships them: the built-in $gcc matcher and the C/C++ extension's.
const std::regex kMatchers[] = {
    std::regex(R"(^(.*?):(\d+):(\d*):?\s+(?:fatal\s+)?(warning|error):\s+(.*)$)"),
    std::regex(R"(^(.*):(\d+):(\d+):\s+(?:fatal\s+)?(warning|error):\s+(.*)$)"),
};

TEST(CheckFormat, GccLinesCarryTheFaultyPiecesColumnAndTheMatchersReadEveryOne) {
    TempDir dir;
    const std::string program = dir.Write("p.kxc", kProgram);
    const ToolRun plain = RunTool({"check", program});
    const ToolRun gcc = RunTool({"check", program, "--format=gcc"});
    EXPECT_EQ(gcc.status, plain.status);
    EXPECT_EQ(gcc.status, 1);

    struct Expected {
        std::string line, column, severity;
    };
    const std::vector<Expected> expected = {{"2", "13", "error"},
                                            {"3", "9", "error"},
                                            {"4", "12", "error"},
                                            {"5", "18", "error"},
                                            {"5", "1", "warning"}};
    const std::vector<std::string> gccLines = Lines(gcc.out);
    const std::vector<std::string> plainLines = Lines(plain.out);
    ASSERT_EQ(gccLines.size(), expected.size()) << gcc.out;
    ASSERT_EQ(plainLines.size(), expected.size()) << plain.out;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        for (const std::regex& matcher : kMatchers) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(gccLines[i], m, matcher)) << gccLines[i];
            EXPECT_EQ(m[1], program);
            EXPECT_EQ(m[2], expected[i].line) << gccLines[i];
            EXPECT_EQ(m[3], expected[i].column) << gccLines[i];
            EXPECT_EQ(m[4], expected[i].severity) << gccLines[i];
            // The message is the plain listing's, word for word.
            const std::string& p = plainLines[i];
            EXPECT_EQ(p.substr(p.size() - m[5].length()), m[5].str());
        }
    }
}

TEST(CheckFormat, TheDefaultListingStaysAsItWasAndAnUnknownFormatIsAUsageFault) {
    TempDir dir;
    const std::string program = dir.Write("p.kxc", "FOO 1\r\nEND\r\n");
    EXPECT_EQ(RunTool({"check", program}).out, program + ":1: 第 1 行程序命令错误！\n");
    const ToolRun bad = RunTool({"check", program, "--format=msvc"});
    EXPECT_EQ(bad.status, 64);
    EXPECT_NE(bad.err.find("msvc"), std::string::npos);
}

}  // namespace
