#include <gtest/gtest.h>

#include <string>

#include "compiler/CompileRun.h"
#include "compiler/Disassembler.h"

namespace {

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

TEST(Disassembler, WritesProgramTextThatCompilesToTheSameBytes) {
    const char* program =
        "CWAD 1,-2,3,4,99999999\r\nFMOV F1,-0.1\r\nFADD M2,3.4E38\r\nFSUB M3,1E-45\r\n"
        "SETELL 1,1E39\r\nFMUL M1,-1E39\r\nFDIV M1,-0\r\nMOVM M1,S3000\r\nJB 2000,J99\r\n"
        "DISPLAY 1,S99999999,2\r\nDISPLAY 99999999,F99999999,0\r\nSETB I3\r\nAND O0,B99\r\nLP "
        "F10100,M0\r\nSLD S1024,-99999999\r\nDISPLAY 1,S4,2\r\n"
        "JMPM F3000\r\nRET\r\nEND\r\n";
    const auto first = compiler::Translate(program);
    ASSERT_EQ(first.result.outcome, compiler::CompileOutcome::Compiled);
    const auto listing = compiler::Disassemble(first.objectBytes);
    ASSERT_TRUE(listing.ok) << listing.error;
    EXPECT_EQ(listing.lines.size(), first.result.records);
    EXPECT_EQ(compiler::Translate(Join(listing.lines)).objectBytes, first.objectBytes);
}

struct Refusal {
    const char* name;
    std::string bytes;
    const char* error;
};

std::string Header() {
    return std::string(compiler::kObjectHeader);
}

std::string RecordBytes(std::initializer_list<int> bytes) {
    std::string r(24, '\0');
    int i = 0;
    for (int b : bytes)
        r[static_cast<std::size_t>(i++)] = static_cast<char>(b);
    return r;
}

class RefusesObject : public testing::TestWithParam<Refusal> {};

TEST_P(RefusesObject, ThatNoProgramTextReproduces) {
    const auto listing = compiler::Disassemble(GetParam().bytes);
    EXPECT_FALSE(listing.ok);
    EXPECT_EQ(listing.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Objects, RefusesObject,
    testing::Values(
        Refusal{"Empty", "",
                "not an object program: the header \"This is RVL412E.kxo!\" is missing"},
        Refusal{"ShortRecord", Header() + "abc",
                "the file ends inside a record (3 bytes left over)"},
        Refusal{"UnknownCode", Header() + RecordBytes({7, 0}),
                "record 1: no instruction has this group and code"},
        Refusal{"UnnamedDescriptor", Header() + RecordBytes({1, 0x30}),
                "record 1: no instruction has this group and code"},
        Refusal{"ReservedBytes", Header() + RecordBytes({2, 8, 0, 1}),
                "record 1: bytes 2 and 3 are not zero"},
        Refusal{"SurplusOperand", Header() + RecordBytes({2, 8, 0, 0, 0, 0, 0, 1}),
                "record 1: operand 1 is set but the instruction has no such operand"},
        Refusal{"OutOfRange", Header() + RecordBytes({3, 2, 0, 0, 0, 0, 0x07, 0xD1}),
                "record 1: operand 1 cannot be written as program text"},
        Refusal{"RecordAfterEnd", Header() + RecordBytes({2, 8}) + RecordBytes({2, 8}),
                "record 1: END is followed by further records"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
