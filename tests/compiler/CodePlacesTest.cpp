// Where in its line a check finding points, for editors: the piece each fault code is about.
#include <gtest/gtest.h>

#include <string>

#include "compiler/CodePlaces.h"
#include "compiler/CompileRun.h"
#include "compiler/EncodeLine.h"
#include "compiler/ProgramCheck.h"

namespace {

using compiler::ByteSpan;

std::string_view Piece(std::string_view line, ByteSpan s) {
    return line.substr(s.begin, s.end - s.begin);
}

struct FaultCase {
    const char* line;
    const char* piece;   // what the span covers
    std::size_t column;  // 1-based characters, as `check --format=gcc` prints
};

// Each line is checked for real, so the table also pins which fault the compile finds there.
TEST(CodePlaces, EachFaultPointsAtThePieceItIsAbout) {
    const FaultCase cases[] = {
        {"FOO 1", "FOO", 1},
        {"   mov M1,M99999", "M99999", 11},
        {"LOOP1:  MOV 5,M1", "5", 13},
        {"\xB1\xEA\xBA\xC5: MOV M1,x ; \xD7\xA2", "x", 12},  // 标号: a CJK label is two chars
        {"\tJLD 1,M1,3000000000000", "3000000000000", 11},
        {"MOV M1", "", 7},
        {"MOV ,5", "", 5},
        {"MOV M1,5,6,7   ' more", "6,7", 10},
        {"CWAD 1,2,3,4,Q5", "Q5", 14},
        {"JMP NOWHERE", "NOWHERE", 5},
    };
    for (const FaultCase& c : cases) {
        const std::string program = std::string(c.line) + "\r\nEND\r\n";
        const compiler::CheckReport report = compiler::CheckProgram(program);
        ASSERT_EQ(report.findings.size(), 1u) << c.line;
        const int code = report.findings[0].code;
        const ByteSpan at = compiler::LocateFault(c.line, code);
        EXPECT_EQ(Piece(c.line, at), c.piece) << c.line << " code " << code;
        EXPECT_FALSE(compiler::IsLineFault(code)) << c.line;
        EXPECT_EQ(compiler::CharactersBefore(c.line, at.begin) + 1, c.column) << c.line;
    }
}

TEST(CodePlaces, AFaultOfTheWholeLineCoversItsCode) {
    const std::string line = "  INC M1   ; the 2049th";
    EXPECT_TRUE(compiler::IsLineFault(compiler::kTooManyLinesCode));
    EXPECT_EQ(Piece(line, compiler::LocateFault(line, compiler::kTooManyLinesCode)), "INC M1");
}

TEST(CodePlaces, EditorLinesAreCutAsTheCompileCutsThem) {
    const auto lines = compiler::EditorLines("A\r\nB\r\n\r\nC");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "B");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "C");
    EXPECT_EQ(compiler::EditorLines("A\r\n").size(), 1u);
}

TEST(CodePlaces, LabelsAndWordsComeFromTheCodePartOnly) {
    const std::string line = " Loop1 : JLD LOOP1,M1,100 ' LOOP2: not code";
    EXPECT_EQ(Piece(line, compiler::LabelDefinition(line)), "Loop1");
    std::vector<std::string_view> words;
    for (const ByteSpan& w : compiler::CodeWords(line))
        words.push_back(Piece(line, w));
    EXPECT_EQ(words, (std::vector<std::string_view>{"Loop1", "JLD", "LOOP1", "M1", "100"}));
    EXPECT_EQ(compiler::LabelDefinition("INC M1 ; a: b").begin,
              compiler::LabelDefinition("INC M1 ; a: b").end);
    // A double-byte character whose second byte is a comma stays one character of a word.
    const std::string gbk =
        "JMP \xA3\x2C"
        "1";
    EXPECT_EQ(compiler::CodeWords(gbk).size(), 2u);
}

}  // namespace
