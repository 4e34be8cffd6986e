#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "compiler/EncodeLine.h"
#include "tests/common/FileFixtures.h"

namespace {

using compiler::CompileOutcome;
using compiler::Translate;

std::string Record(const char* line) {
    compiler::InstructionRecord r{};
    const int code = compiler::EncodeLine(line, r);
    EXPECT_TRUE(code == 0 || code == 136) << line;
    return std::string(reinterpret_cast<const char*>(r.data()), r.size());
}

std::string Object(std::initializer_list<const char*> lines) {
    std::string bytes(compiler::kObjectHeader);
    for (const char* line : lines)
        bytes += Record(line);
    return bytes;
}

struct Outcome {
    const char* name;
    std::string text;
    std::string message;
    int editorLine;
    std::size_t records;
};

class CompileRunOutcome : public testing::TestWithParam<Outcome> {};

TEST_P(CompileRunOutcome, ReportsMessageLineAndRecords) {
    const auto t = Translate(GetParam().text);
    EXPECT_EQ(compiler::CompileMessage(t.result, "C:\\out.kxo"), GetParam().message);
    EXPECT_EQ(t.result.editorLine, GetParam().editorLine);
    EXPECT_EQ(t.result.records, GetParam().records);
    EXPECT_EQ(t.objectBytes.size(), 20 + 24 * GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, CompileRunOutcome,
    testing::Values(
        Outcome{"Empty", "", "警告：程序缺少“End”！", 0, 0},
        Outcome{"NoEndWithBreak", "MOV M1,5\r\nINC M1\r\n", "警告：程序缺少“End”！", 0, 2},
        Outcome{"NoEndWithoutBreak", "MOV M1,5\r\n\r\nINC M1X", "警告：程序缺少“End”！", 0, 2},
        Outcome{"Success", "MOV M1,5\r\n\r\n; NOTE\r\nEND\r\n", "编译成功！目标文件：C:\\out.kxo !",
                0, 2},
        Outcome{"FaultCountsCodeLines", "\r\n; a\r\nMOV M1,5\r\n'b\r\nINC M1\r\nMOV M5\r\nEND\r\n",
                "第 3 行程序缺少参数！", 6, 2},
        Outcome{"LowerCase", "mov m1,5\r\nend\r\n", "编译成功！目标文件：C:\\out.kxo !", 0, 2},
        Outcome{"UnknownCommand", "BOGUS\r\n", "第 1 行程序命令错误！", 1, 0},
        Outcome{"Type1", "MOV 5,5\r\n", "第 1 行程序第一参数类型错误！", 1, 0},
        Outcome{"Type2", "MOVM M1,5\r\n", "第 1 行程序第二参数类型错误！", 1, 0},
        Outcome{"Type3", "JGD 1,M1,M2\r\n", "第 1 行程序第三参数类型错误！", 1, 0},
        Outcome{"Range1", "DELAY 1E10\r\n", "第 1 行程序第一参数范围超限！", 1, 0},
        Outcome{"Range2", "ADJ 1,-1\r\n", "第 1 行程序第二参数范围超限！", 1, 0},
        Outcome{"Range3", "LINAD 1,2,100000000\r\n", "第 1 行程序第三参数范围超限！", 1, 0},
        Outcome{"TooMany", "MOV M1,5,6\r\n", "第 1 行程序多参数！", 1, 0},
        Outcome{"Operand4IsUnknownError", "CWAD 1,2,3,X,5\r\n", "未知错误！", 1, 0},
        Outcome{"Operand5RangeIsUnknownError", "CWAD 1,2,3,4,100000000\r\n", "未知错误！", 1, 0},
        Outcome{"ApostropheBeatsSemicolon", "MOV M1,5 ; set 'x'\r\nEND\r\n",
                "编译成功！目标文件：C:\\out.kxo !", 0, 2},
        Outcome{"FullWidthSemicolon", "MOV M1,5\xA3\xBB\xD6\xD0\xCE\xC4\r\nEND\r\n",
                "编译成功！目标文件：C:\\out.kxo !", 0, 2},
        Outcome{"QuotationMarks", "MOV M1,5\xA1\xAE x\r\nINC M1\xA1\xAF y\r\nEND",
                "编译成功！目标文件：C:\\out.kxo !", 0, 3},
        Outcome{"LabelAlone", "MOV M1,5\r\nL1:\r\nEND\r\n", "第 2 行程序命令错误！", 2, 1},
        Outcome{"AfterEndNeverChecked", "END\r\nBOGUS\r\nEND\r\n",
                "编译成功！目标文件：C:\\out.kxo !", 0, 1},
        Outcome{"LfOnlyLosesLastCharacter", "MOV M1,5\nEND\n", "第 1 行程序缺少参数！", 1, 0},
        Outcome{"TabBeforeOperands", "MOV\tM1,5\r\n", "第 1 行程序命令错误！", 1, 0},
        Outcome{"NulIsAnOrdinaryCharacter", std::string("MOV M1,5\0\r\nEND", 14),
                "编译成功！目标文件：C:\\out.kxo !", 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompileRun, KeepsBlankAndCommentLinesOutOfTheObjectFile) {
    EXPECT_EQ(Translate("MOV M1,5\r\n\r\n; NOTE\r\nEND\r\n").objectBytes,
              Object({"MOV M1,5", "END"}));
}

TEST(CompileRun, LeavesRecordsBeforeTheFaultyLine) {
    const auto t = Translate("MOV M1,5\r\nINC M2\r\nMOV M1\r\nEND\r\n");
    EXPECT_EQ(t.objectBytes, Object({"MOV M1,5", "INC M2"}));
    EXPECT_EQ(t.result.codeLine, 3);
}

TEST(CompileRun, NeverUpperCasesOrSplitsDoubleByteCharacters) {
    // 0x81 0x61 ("a" as a second byte) must stay, and the ';' second byte of 0x81 0x3B is no
    // comment marker, so the line keeps its unknown mnemonic.
    const auto lines = compiler::CutIntoCodeLines(
        "x\x81"
        "a\r\nA\x81;B\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text,
              "X\x81"
              "a");
    EXPECT_EQ(lines[1].text, "A\x81;B");
}

TEST(CompileRun, CutsEveryLineBeforeTheFirstMarkerOfHighestPrecedence) {
    const auto lines = compiler::CutIntoCodeLines(
        "A;B'C\r\n  D\xA3\xBB;E\r\nF\xA1\xAF\xA1\xAEG\r\n\xB5\xA3\xBB\r\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "A;B");
    EXPECT_EQ(lines[1].text, "D\xA3\xBB");
    EXPECT_EQ(lines[2].text, "F\xA1\xAF");
    // B5 A3 is one character, so the bytes A3 BB after it are no full-width semicolon.
    EXPECT_EQ(lines[3].text, "\xB5\xA3\xBB");
}

struct LabelCase {
    const char* name;
    const char* program;
    std::vector<std::string> resolved;
};

class ResolvesLabels : public testing::TestWithParam<LabelCase> {};

TEST_P(ResolvesLabels, ByPositionRules) {
    auto lines = compiler::CutIntoCodeLines(GetParam().program);
    compiler::ResolveLabels(lines);
    std::vector<std::string> texts;
    for (const auto& l : lines)
        texts.push_back(l.text);
    EXPECT_EQ(texts, GetParam().resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ResolvesLabels,
    testing::Values(
        LabelCase{"UseOnLaterLine",
                  "L1: MOV M1,0\r\nINC M1\r\nEND\r\nJB L1,I3\r\n",
                  {"MOV M1,0", "INC M1", "END", "JB 1,I3"}},
        LabelCase{"PrefixOfLongerName", "L1: MOV M1,0\r\nJMP L10\r\n", {"MOV M1,0", "JMP L10"}},
        LabelCase{"ForwardUse", "JMP LOOP\r\nLOOP: INC M1\r\n", {"JMP 2", "INC M1"}},
        LabelCase{"UseInMiddle", "L2: INC M1\r\nJGD L2,M3,100\r\n", {"INC M1", "JGD 1,M3,100"}},
        LabelCase{"OwnLine", "A: JMP A\r\n", {"JMP 1"}},
        LabelCase{"NameAloneAtStart", "X: INC M1\r\nX\r\n", {"INC M1", "1"}},
        LabelCase{"StartFollowedByComma", "X: INC M1\r\nX,Y\r\n", {"INC M1", "1,Y"}},
        LabelCase{"StartFollowedByLetter", "X: INC M1\r\nXY Z\r\n", {"INC M1", "XY Z"}},
        LabelCase{"EndPrecededByComma", "AB: INC M1\r\nJB 1,AB\r\n", {"INC M1", "JB 1,1"}},
        LabelCase{"EndPrecededByLetter", "AB: INC M1\r\nJB 1,XAB\r\n", {"INC M1", "JB 1,XAB"}},
        LabelCase{"PlainReplacementOfEveryOccurrence",
                  "Q: INC M1\r\nJB Q,Q1 Q\r\n",
                  {"INC M1", "JB 1,11 1"}},
        LabelCase{"FirstOccurrenceDecides", "Q: INC M1\r\nJB XQ,Q\r\n", {"INC M1", "JB XQ,Q"}},
        LabelCase{"DefinedTwiceTakesFirst",
                  "A: INC M1\r\nJMP A\r\nA: INC M2\r\n",
                  {"INC M1", "JMP 1", "INC M2"}},
        LabelCase{
            "AfterEndStillNumbers", "JMP Z\r\nEND\r\nZ: INC M1\r\n", {"JMP 3", "END", "INC M1"}},
        LabelCase{"EmptyNameReplacesNothing", ": INC M1\r\nJMP 5\r\n", {"INC M1", "JMP 5"}},
        LabelCase{"TrailingBlanksOfName", "L1 \t: INC M1\r\nJMP L1\r\n", {"INC M1", "JMP 1"}},
        LabelCase{"LaterDefinitionStillInPlace", "L: INC M1\r\nL: JMP L\r\n", {"INC M1", "JMP 2"}},
        LabelCase{"NumbersCountCodeLinesOnly",
                  "\r\n;c\r\nINC M1\r\n\r\nQ: INC M2\r\nJMP Q\r\n",
                  {"INC M1", "INC M2", "JMP 2"}},
        // The first occurrence of P is inside JMP, so the line is no use of the label.
        LabelCase{"FirstOccurrenceInsideMnemonic", "P: INC M2\r\nJMP P\r\n", {"INC M2", "JMP P"}},
        LabelCase{"DoubleByteBeforeIsNoSeparator",
                  "L: INC M1\r\nJB 1,\xB5,L\r\n",
                  {"INC M1", "JB 1,\xB5,L"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompileRun, RefusesMoreThan2048CodeLinesWithAHeaderOnlyFile) {
    std::string text = "; header comment\r\n";
    for (int i = 0; i < 2049; ++i)
        text += "INC M1\r\n";
    const auto t = Translate(text);
    EXPECT_EQ(t.result.outcome, CompileOutcome::TooManyLines);
    EXPECT_EQ(t.result.editorLine, 2050);
    EXPECT_EQ(t.objectBytes, std::string(compiler::kObjectHeader));
    EXPECT_EQ(compiler::CompileMessage(t.result, ""),
              "第 2049 行程序超出程序容量（最多 2048 行）！");
}

TEST(CompileRun, Compiles2048CodeLines) {
    std::string text;
    for (int i = 0; i < 2047; ++i)
        text += "INC M1\r\n";
    text += "END";
    const auto t = Translate(text);
    EXPECT_EQ(t.result.outcome, CompileOutcome::Compiled);
    EXPECT_EQ(t.objectBytes.size(), 20u + 24u * 2048u);
}

TEST(CompileRun, SurvivesHostileText) {
    std::string text(1'048'575, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>((i * 131 + 7) % 256);
    const auto t = Translate(text);
    EXPECT_EQ(t.objectBytes.size(), 20 + 24 * t.result.records);

    const std::string longLine =
        "L: JMP " + std::string(100000, 'L') + "\r\n" + std::string(100000, ':');
    EXPECT_NE(Translate(longLine).result.outcome, CompileOutcome::Compiled);
}

class CompileToFileTest : public testing::Test {
protected:
    testfs::TempDir temp{"tarvex-compile"};
    const std::filesystem::path& dir = temp.path();
};

TEST_F(CompileToFileTest, WritesWhatTheRunLeaves) {
    const auto target = dir / "程序.kxo";
    const auto r = compiler::CompileToFile("MOV M1,5\r\nEND\r\n", target);
    EXPECT_EQ(r.outcome, CompileOutcome::Compiled);
    EXPECT_EQ(testfs::ReadFile(target), Object({"MOV M1,5", "END"}));

    EXPECT_EQ(compiler::CompileToFile("", target).outcome, CompileOutcome::MissingEnd);
    EXPECT_EQ(testfs::ReadFile(target), std::string(compiler::kObjectHeader));
}

TEST_F(CompileToFileTest, ARefusedRunLeavesTheTargetAsItWas) {
    std::string tooMany;
    for (std::size_t k = 0; k <= compiler::kMaxCodeLines; ++k)
        tooMany += "INC M1\r\n";
    const struct {
        const char* text;
        CompileOutcome outcome;
    } refused[] = {
        {"MOV M1,5\r\nINC M2\r\nMOV M1\r\nEND\r\n", CompileOutcome::LineFault},
        {"FOO\r\nEND\r\n", CompileOutcome::LineFault},
        {tooMany.c_str(), CompileOutcome::TooManyLines},
    };
    const auto old = dir / "old.kxo";
    const std::string oldBytes = Object({"INC M1", "END"});
    for (const auto& row : refused) {
        testfs::WriteFile(old, oldBytes);
        EXPECT_EQ(compiler::CompileToFile(row.text, old).outcome, row.outcome);
        EXPECT_EQ(testfs::ReadFile(old), oldBytes);
        EXPECT_EQ(compiler::CompileToFile(row.text, dir / "new.kxo").outcome, row.outcome);
        EXPECT_EQ(testfs::Names(dir), std::vector<std::string>{"old.kxo"});
    }
}

TEST_F(CompileToFileTest, CannotCreateLeavesNothingBehind) {
    EXPECT_EQ(compiler::CompileToFile("END", "").outcome, CompileOutcome::CannotCreate);
    EXPECT_EQ(compiler::CompileToFile("END", dir / "missing" / "a.kxo").outcome,
              CompileOutcome::CannotCreate);
    EXPECT_EQ(compiler::CompileToFile("END", dir).outcome, CompileOutcome::CannotCreate);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(CompileToFileTest, ReportsAFullDiskAsAFailure) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const auto r = compiler::CompileToFile("MOV M1,5\r\nEND\r\n", "/dev/full");
    EXPECT_EQ(r.outcome, CompileOutcome::WriteFailed);
    EXPECT_EQ(compiler::CompileMessage(r, "/dev/full"), "不能写入文件： /dev/full ！");
}

TEST_F(CompileToFileTest, WritesThroughALinkAndLeavesNoTemporaryFiles) {
    if (!testfs::CanLink(dir))
        GTEST_SKIP() << "no symbolic links here";
    const auto real = dir / "real.kxo";
    testfs::WriteFile(real, "old");
    std::filesystem::create_symlink(real, dir / "link.kxo");
    EXPECT_EQ(compiler::CompileToFile("END", dir / "link.kxo").outcome, CompileOutcome::Compiled);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.kxo"));
    EXPECT_EQ(testfs::ReadFile(real), Object({"END"}));
    EXPECT_EQ(testfs::Names(dir), (std::vector<std::string>{"link.kxo", "real.kxo"}));
}

}  // namespace
