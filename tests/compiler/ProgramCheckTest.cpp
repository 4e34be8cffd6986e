// The check against the compile itself: each finding must be exactly what the compile reports when
// that line is the first fault.
#include <gtest/gtest.h>

#include <random>
#include <stop_token>
#include <string>
#include <vector>

#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "compiler/ProgramCheck.h"

namespace {

using compiler::CheckProgram;
using compiler::CompileOutcome;

constexpr const char* kGood = "INC M1";

struct Line {
    std::string label;  // "" or "NAME:"
    std::string body;
    std::string comment;
};

std::string Join(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines)
        text += line.label + line.body + line.comment + "\r\n";
    return text;
}

// Faulty and good bodies of every kind, labels that are defined, used, repeated and missing,
// blank and comment-only lines that do not count as code lines.
std::vector<Line> RandomProgram(std::mt19937& random) {
    static const std::vector<std::string> bodies = {
        kGood,        "MOV M1,5", "JMP L1",          "JMP L9",    "FOO 1",       "MOV M1",
        "MOV M1,5,6", "MOV 5,M1", "JMPM M3001",      "ADJ 1,-1",  "JGD 1,M3,M4", "END",
        "",           "CALL L2",  "CWAD 1,2,3,M4,5", "MOVM M1,5", "L1",          "\xB1\xEA"};
    static const std::vector<std::string> labels = {"", "", "", "L1:", "L2:", "\xB1\xEA:"};
    static const std::vector<std::string> comments = {"", "", " ; note", " \xA3\xBB x"};
    std::vector<Line> lines(random() % 14);
    for (Line& line : lines) {
        line.label = labels[random() % labels.size()];
        line.body = bodies[random() % bodies.size()];
        line.comment = comments[random() % comments.size()];
    }
    return lines;
}

TEST(ProgramCheck, EveryFindingIsWhatTheCompileReportsWhenItIsTheFirstFault) {
    std::mt19937 random(20261209);
    int findings = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<Line> lines = RandomProgram(random);
        const std::string text = Join(lines);
        const compiler::CheckReport report = CheckProgram(text);

        // Mending each fault in turn (the body only, so labels stay where they were) must move
        // the compile's first fault to the next finding.
        for (const compiler::Finding& f : report.findings) {
            const auto t = compiler::Translate(Join(lines));
            ASSERT_EQ(t.result.outcome, CompileOutcome::LineFault) << text;
            EXPECT_EQ(t.result.editorLine, f.editorLine) << text;
            EXPECT_EQ(t.result.codeLine, f.codeLine) << text;
            EXPECT_EQ(t.result.resultCode, f.code) << text;
            EXPECT_EQ(compiler::CompileMessage(t.result, "x"), f.message) << text;
            lines[f.editorLine - 1].body = kGood;
            ++findings;
        }
        const auto last = compiler::Translate(Join(lines)).result.outcome;
        EXPECT_EQ(last, report.endReached ? CompileOutcome::Compiled : CompileOutcome::MissingEnd)
            << text;
    }
    EXPECT_GT(findings, 3000);
}

TEST(ProgramCheck, MoreCodeLinesThanAProgramHoldsIsFoundWhereTheCompileRefuses) {
    std::string text = "; first\r\n";
    for (std::size_t k = 0; k < compiler::kMaxCodeLines + 2; ++k)
        text += k == 5 ? "FOO\r\n" : "INC M1\r\n";
    const compiler::CheckReport report = CheckProgram(text);
    ASSERT_EQ(report.findings.size(), 2u);
    EXPECT_EQ(report.findings[0].codeLine, 6);
    const compiler::Finding& tooMany = report.findings[1];
    const auto t = compiler::Translate(text);
    EXPECT_EQ(tooMany.code, compiler::kTooManyLinesCode);
    EXPECT_EQ(tooMany.editorLine, t.result.editorLine);
    EXPECT_EQ(tooMany.message, compiler::CompileMessage(t.result, "x"));
    EXPECT_FALSE(report.endReached);
}

// A newer edit or a closing window stops the check: asked to stop, it looks at no more lines.
TEST(ProgramCheck, AStoppedCheckEndsWithoutLookingFurther) {
    std::stop_source stop;
    stop.request_stop();
    const compiler::CheckReport report =
        compiler::CheckProgram("L1: FOO\r\nJMP L1\r\nEND\r\n", stop.get_token());
    EXPECT_TRUE(report.findings.empty());
    EXPECT_FALSE(report.endReached);
    EXPECT_EQ(compiler::CheckProgram("L1: FOO\r\nJMP L1\r\nEND\r\n").findings.size(), 1u);
}

}  // namespace
