#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/LineSyntax.h"

namespace {

using compiler::syntax::OperandClass;
using compiler::syntax::Span;

struct Layout {
    const char* line;
    std::size_t comment;
    Span code;
    Span label;  // empty: none
    Span mnemonic;
    std::vector<Span> operands;
};

std::u16string Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

class ReadsLine : public testing::TestWithParam<Layout> {};

// Positions in the line as given, the same for GBK bytes and UTF-16 text of an ASCII line.
TEST_P(ReadsLine, AtTheseColumns) {
    const Layout& want = GetParam();
    for (const auto& got : {compiler::syntax::ReadLine(std::string_view(want.line)),
                            compiler::syntax::ReadLine(std::u16string_view(Widen(want.line)))}) {
        EXPECT_EQ(got.comment, want.comment);
        EXPECT_EQ(got.code, want.code);
        EXPECT_EQ(got.label.value_or(Span{}), want.label);
        EXPECT_EQ(got.instruction.mnemonic, want.mnemonic);
        EXPECT_EQ(got.instruction.operands, want.operands);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadsLine,
    testing::Values(
        Layout{"", 0, {0, 0}, {}, {0, 0}, {}},
        Layout{"  MOV M1 , 5 ; x", 13, {2, 12}, {}, {2, 5}, {{6, 8}, {11, 12}}},
        Layout{"L1: JMP L1", 10, {0, 10}, {0, 3}, {4, 7}, {{8, 10}}},
        // The apostrophe wins over the earlier semicolon.
        Layout{"INC M1 ; a 'b", 11, {0, 10}, {}, {0, 3}, {{4, 10}}},
        // A trailing comma leaves an empty piece; a second colon belongs to the mnemonic.
        Layout{"A: B: MOV 1,", 12, {0, 12}, {0, 2}, {3, 5}, {{6, 11}, {12, 12}}},
        Layout{"MOV M1,", 7, {0, 7}, {}, {0, 3}, {{4, 6}, {7, 7}}},
        Layout{"MOV\tM1,5", 8, {0, 8}, {}, {0, 8}, {}},
        // With nothing after a label, the empty mnemonic stands after the blanks.
        Layout{"L:   ;c", 5, {0, 2}, {0, 2}, {5, 5}, {}}));

// A double-byte character's second byte is never taken for a marker or separator.
TEST(LineSyntax, GbkBytesAreReadByCharacter) {
    // 0x81 0x3B: a character whose second byte is ';'. Then a full-width semicolon.
    const std::string line = "JMP \x81;,1 \xA3\xBB x";
    const auto layout = compiler::syntax::ReadLine(std::string_view(line));
    EXPECT_EQ(layout.comment, 9u);
    EXPECT_EQ(layout.instruction.operands, (std::vector<Span>{{4, 6}, {7, 8}}));
    EXPECT_EQ(compiler::syntax::CommentStart(std::u16string_view(u"JMP \u4E2D,1 \uFF1B x")), 8u);
}

TEST(LineSyntax, OperandsAreClassifiedByHowTheyStart) {
    const std::pair<const char*, OperandClass> rows[] = {
        {"5", OperandClass::Number},      {"-x", OperandClass::Number},
        {"M1", OperandClass::Reference},  {"o3", OperandClass::Reference},
        {"S", OperandClass::Name},        {"X1", OperandClass::Name},
        {"MX", OperandClass::Name},       {"LOOP", OperandClass::Name},
        {"\xB5\xA3", OperandClass::Name},
    };
    for (const auto& [piece, kind] : rows) {
        EXPECT_EQ(compiler::syntax::ClassifyOperand(std::string_view(piece)), kind) << piece;
        if (static_cast<unsigned char>(piece[0]) < 0x80) {
            EXPECT_EQ(compiler::syntax::ClassifyOperand(std::u16string_view(Widen(piece))), kind)
                << piece;
        }
    }
}

}  // namespace
