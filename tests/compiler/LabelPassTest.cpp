// The indexed label pass against the plain one it replaced: every label searched in every line.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "compiler/CompileRun.h"
#include "compiler/LabelPass.h"

namespace {

void ResolveByScanningEveryLine(std::vector<compiler::CodeLine>& lines) {
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!compiler::TakeDefinition(lines[i].text, name) || name.empty())
            continue;
        const std::string number = std::to_string(i + 1);
        for (auto& line : lines)
            compiler::ApplyLabel(line.text, name, number);
    }
}

// Programs built from few pieces, so names collide, nest, prefix one another and sit inside
// words, in GBK too (with second bytes that look like blanks, commas and colons).
std::string RandomProgram(std::mt19937& random) {
    static const std::vector<std::string> names = {"L1",
                                                   "L10",
                                                   "L",
                                                   "1",
                                                   "12",
                                                   "A B",
                                                   "\xB1\xEA",
                                                   "\xB1\xEA\xC7\xA9",
                                                   "\xC7\xA9\xB1\xEA",
                                                   "X\xB1\xEA",
                                                   "\x81,",
                                                   "\x81:",
                                                   "\x81 ",
                                                   "LOOP",
                                                   "OOP",
                                                   "END",
                                                   "M1",
                                                   "3"};
    static const std::vector<std::string> glue = {" ", ",", ":", "  ", ", ", "X", "\xB1", ""};
    static const std::vector<std::string> words = {
        "JMP", "JLD", "MOV", "INC", "END", "M3", "100", "//\xD6\xD0\xCE\xC4", "Q"};
    auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    std::string text;
    const int lineCount = std::uniform_int_distribution<int>(1, 24)(random);
    for (int l = 0; l < lineCount; ++l) {
        std::string line;
        if (random() % 2)
            line += pick(names) + ":" + pick(glue);
        const int parts = std::uniform_int_distribution<int>(0, 5)(random);
        for (int k = 0; k < parts; ++k)
            line += (random() % 2 ? pick(names) : pick(words)) + pick(glue);
        text += line + "\r\n";
    }
    return text;
}

TEST(LabelPass, GivesWhatScanningEveryLineGives) {
    std::mt19937 random(20261209);
    for (int run = 0; run < 20000; ++run) {
        const std::string program = RandomProgram(random);
        auto indexed = compiler::CutIntoCodeLines(program);
        auto scanned = indexed;
        compiler::ResolveLabels(indexed);
        ResolveByScanningEveryLine(scanned);
        ASSERT_EQ(indexed.size(), scanned.size());
        for (std::size_t k = 0; k < indexed.size(); ++k)
            ASSERT_EQ(indexed[k].text, scanned[k].text) << "line " << k + 1 << " of\n" << program;
    }
}

// Names longer than the index keys still match only where the whole name stands.
TEST(LabelPass, LongNamesSharingTheirFirstBytes) {
    const std::string common = "STATION_TWENTY_";
    std::string program;
    for (int i = 0; i < 40; ++i)
        program += common + std::to_string(i) + ": JMP " + common + std::to_string(39 - i) + "\r\n";
    auto indexed = compiler::CutIntoCodeLines(program);
    auto scanned = indexed;
    compiler::ResolveLabels(indexed);
    ResolveByScanningEveryLine(scanned);
    for (std::size_t k = 0; k < indexed.size(); ++k)
        EXPECT_EQ(indexed[k].text, scanned[k].text);
    EXPECT_EQ(indexed[0].text, "JMP 40");
}

// One label defined on every line, as in a file of pasted copies: each definition applies where
// the lines use it, however often the name was defined before.
TEST(LabelPass, ALabelDefinedOnEveryLine) {
    std::string program;
    for (int i = 0; i < 1500; ++i)
        program += i % 3 == 2 ? "L1: JMP L1\r\n" : "L1: INC M1\r\n";
    auto indexed = compiler::CutIntoCodeLines(program);
    auto scanned = indexed;
    compiler::ResolveLabels(indexed);
    ResolveByScanningEveryLine(scanned);
    for (std::size_t k = 0; k < indexed.size(); ++k)
        ASSERT_EQ(indexed[k].text, scanned[k].text) << "line " << k + 1;
    EXPECT_EQ(indexed[2].text, "JMP 3");
}

}  // namespace
