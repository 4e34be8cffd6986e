#include <gtest/gtest.h>

#include <set>
#include <string>

#include "compiler/EncodeLine.h"
#include "compiler/InstructionTable.h"

namespace {

using compiler::EncodeLine;
using compiler::InstructionRecord;

std::string Hex(const InstructionRecord& r) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (std::uint8_t b : r) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

struct Encoded {
    const char* line;
    const char* hex;  // 48 hex digits of the record
};

class EncodesRecord : public testing::TestWithParam<Encoded> {};

TEST_P(EncodesRecord, WithExactBytes) {
    InstructionRecord record{};
    const int code = EncodeLine(GetParam().line, record);
    EXPECT_TRUE(code == 0 || code == 136) << GetParam().line << " gave " << code;
    EXPECT_EQ(Hex(record), GetParam().hex) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EncodesRecord,
    testing::Values(Encoded{"MOV M1,5", "060000000000000100000005000000000000000000000000"},
                    Encoded{"MOV F3,-1", "06000000000000CBFFFFFFFF000000000000000000000000"},
                    Encoded{"FMOV F1,1.5", "06200000000000C93FC00000000000000000000000000000"},
                    Encoded{"MOV M1,1.5", "060000000000000100000001000000000000000000000000"},
                    Encoded{"FADDM F1,M2", "05210000000000C900000002000000000000000000000000"},
                    Encoded{"SETB I3", "040600000000001300000000000000000000000000000000"},
                    Encoded{"SETB O3", "040600000000002300000000000000000000000000000000"},
                    Encoded{"SETB J3", "040600000000003300000000000000000000000000000000"},
                    Encoded{"MOV M1,5,", "060000000000000100000005000000000000000000000000"},
                    Encoded{"MOV M1,5,,7", "060000000000000100000005000000000000000000000000"},
                    Encoded{"MOV   M1 ,  5 ", "060000000000000100000005000000000000000000000000"},
                    Encoded{"END", "020800000000000000000000000000000000000000000000"},
                    Encoded{"END ANY TEXT,1,2", "020800000000000000000000000000000000000000000000"},
                    Encoded{"RET 5", "031500000000000000000000000000000000000000000000"},
                    Encoded{"JMPM S3000", "0301000000000FA000000000000000000000000000000000"},
                    Encoded{"JMP 2001", "03000000000007D100000000000000000000000000000000"},
                    Encoded{"JMP 99999999", "0300000005F5E0FF00000000000000000000000000000000"},
                    Encoded{"DELAY 1.9", "020600000000000100000000000000000000000000000000"},
                    Encoded{"DELAY -0.5", "020600000000000000000000000000000000000000000000"},
                    Encoded{"DELAY 12AB", "020600000000000C00000000000000000000000000000000"},
                    Encoded{"DELAY 1E3", "02060000000003E800000000000000000000000000000000"},
                    Encoded{"DELAY -", "020600000000000000000000000000000000000000000000"},
                    Encoded{"DELAY 0X10", "020600000000000000000000000000000000000000000000"},
                    Encoded{"DELAY 1.", "020600000000000100000000000000000000000000000000"},
                    Encoded{"ADJ 1,100", "020200000000000100000064000000000000000000000000"},
                    Encoded{"DISPLAY 1,M5,2", "021000000000000100000005000000020000000000000000"},
                    Encoded{"DISPLAY 1,5,2", "021000000000000100000005000000020000000000000000"},
                    Encoded{"DISPLAY 1,S5,2", "0210000000000001000003ED000000020000000000000000"},
                    Encoded{"CWAD 1,2,3,4,5", "010400000000000100000002000000030000000400000005"},
                    Encoded{"CWAD 1,-99999999,3,4,5",
                            "0104000000000001FA0A1F01000000030000000400000005"},
                    Encoded{"FMOV M1,-.5", "0620000000000001BF000000000000000000000000000000"},
                    Encoded{"FMOV M1,1E400", "06200000000000017F800000000000000000000000000000"},
                    Encoded{"FMOV M1,-1E-400", "062000000000000180000000000000000000000000000000"},
                    // Exactly halfway between the largest single and 2^128 rounds to infinity.
                    Encoded{"FMOV M1,3.4028235677973366E38",
                            "06200000000000017F800000000000000000000000000000"},
                    Encoded{"FMOV M1,3.4028235677973362E38",
                            "06200000000000017F7FFFFF000000000000000000000000"},
                    Encoded{"SETELL 7,0.1", "02200000000000073DCCCCCD000000000000000000000000"},
                    Encoded{"FSETELL 7,0.1", "02200000000000073DCCCCCD000000000000000000000000"},
                    Encoded{"FSETELLM 7,S4", "0221000000000007000003EC000000000000000000000000"},
                    Encoded{"SETB B99", "040600000000006300000000000000000000000000000000"},
                    Encoded{"SLD S1024,-7", "06020000000007E8FFFFFFF9000000000000000000000000"},
                    Encoded{"JB 2000,J99", "03020000000007D000000093000000000000000000000000"},
                    Encoded{"MOV M1.9,5", "060000000000000100000005000000000000000000000000"},
                    Encoded{"MOV F10100,0", "060000000000283C00000000000000000000000000000000"}));

struct Fault {
    const char* line;
    int code;
};

class GivesResultCode : public testing::TestWithParam<Fault> {};

TEST_P(GivesResultCode, ForBadLine) {
    InstructionRecord record{};
    EXPECT_EQ(EncodeLine(GetParam().line, record), GetParam().code) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GivesResultCode,
    testing::Values(
        Fault{"SETB B100", 21}, Fault{"MOV M1", 85}, Fault{"MOV ,5", 85}, Fault{"MOV M1,5,6", 86},
        Fault{"MOV M1,,5", 86}, Fault{"STOP", 85}, Fault{"MOV 5,M1", 20}, Fault{"MOVM M1,5", 30},
        Fault{"MOV M 1,5", 20}, Fault{"MOV M-1,5", 20}, Fault{"JMPM M3001", 21},
        Fault{"JB 2001,I1", 21}, Fault{"DELAY 1E10", 21}, Fault{"ADJ 1,-1", 31},
        Fault{"MOV\tM1,5", 1}, Fault{"NOPE 1", 1}, Fault{"", 1}, Fault{"mov M1,5", 1},
        Fault{"CWAD 1,2,3,4,5,6", 86}, Fault{"DELAY +5", 20}, Fault{"DELAY .5", 20},
        Fault{"DELAY M5", 20}, Fault{"SETB M5", 20}, Fault{"JB 1,S5", 30}, Fault{"SLD M5,1", 20},
        Fault{"MOV S5,1", 20}, Fault{"DELAY 99999999.9", 0}, Fault{"DELAY 100000000", 21},
        Fault{"DELAY 2147483648", 21}, Fault{"MOV M1,-2147483648", 31},
        Fault{"MOV M1,-99999999", 0}, Fault{"MOV M1,-100000000", 31}, Fault{"MOV M10101,1", 21},
        Fault{"MOV M99999999999,1", 21}, Fault{"CWAD 1,2,3,X,5", 50}, Fault{"CWAD 1,2,3,4,X", 60},
        Fault{"CWAD 1,2,3,100000000,5", 51}, Fault{"CWAD 1,2,3,4,100000000", 61},
        Fault{"CWAD 1,2,3,4", 85}, Fault{"CWAD X,2,3,4,5,6", 86}, Fault{"MOV M1,5 6", 0},
        Fault{"MOV M1,5,6,,,,,", 86}, Fault{"FMOV M1,X", 30}, Fault{"FMOV M1,M1", 30},
        Fault{"FMOVM M1,1.5", 30}, Fault{"LINAD 1,2", 85}, Fault{"JGD 1,M1", 85},
        // A double-byte character is one character: its second byte is no comma or blank.
        Fault{"MOV M1,\xB5,5", 30}, Fault{"MOV\xB5 M1,5", 1}));

TEST(InstructionTable, HoldsNinetyNineMnemonicsInNinetySevenCodePairs) {
    std::set<std::string_view> names;
    std::set<std::pair<int, int>> namedPairs;
    for (const auto& d : compiler::InstructionTable()) {
        if (d.mnemonic.empty())
            continue;
        names.insert(d.mnemonic);
        namedPairs.insert({d.group, d.code});
        EXPECT_GE(d.group, 1);
        EXPECT_LE(d.group, 6);
        EXPECT_LE(d.code >> 4, 9) << d.mnemonic;
        EXPECT_LE(d.code & 15, 9) << d.mnemonic;
    }
    EXPECT_EQ(names.size(), 99u);
    EXPECT_EQ(namedPairs.size(), 97u);
}

TEST(InstructionTable, KeepsTheUnnamedGroupOneDescriptorOutOfReachByName) {
    const auto* d = compiler::FindInstruction(1, 0x30);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->mnemonic.empty());
    EXPECT_EQ(d->operandCount, 5);
    EXPECT_EQ(compiler::FindInstruction(""), nullptr);
}

TEST(InstructionTable, MarksExactlyTheEightFloatMnemonics) {
    std::set<std::string_view> floats;
    for (const auto& d : compiler::InstructionTable()) {
        if (d.floatOperand2)
            floats.insert(d.mnemonic);
    }
    EXPECT_EQ(floats, (std::set<std::string_view>{"SETELL", "FSETELL", "FMOV", "FADD", "FSUB",
                                                  "FMUL", "FDIV", "FATAN"}));
}

TEST(EncodeLine, LeavesTheRecordUntouchedForAnUnknownMnemonic) {
    InstructionRecord record;
    record.fill(0xAA);
    EXPECT_EQ(EncodeLine("WHAT 1", record), 1);
    for (std::uint8_t b : record)
        EXPECT_EQ(b, 0xAA);
}

TEST(EncodeLine, ClearsOperandFieldsLeftFromAnEarlierLine) {
    InstructionRecord record{};
    ASSERT_EQ(EncodeLine("CWAD 1,2,3,4,5", record), 0);
    ASSERT_EQ(EncodeLine("STOP 9", record), 0);
    EXPECT_EQ(Hex(record), "011600000000000900000000000000000000000000000000");
}

}  // namespace
