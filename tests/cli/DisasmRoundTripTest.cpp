#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>

#include "ObjectBytes.h"
#include "ToolRunner.h"
#include "compiler/InstructionTable.h"

namespace {

using compiler::OperandKind;

struct RoundTrip {
    ToolRun first, disasm, second;
    std::string firstBytes, secondBytes;
};

// compile -> disasm -> compile; the disassembly goes to the compile exactly as printed.
RoundTrip CompileDisasmCompile(const TempDir& dir, const std::string& object) {
    RoundTrip t;
    t.disasm = RunTool({"disasm", object});
    const std::string source = dir.Write("back.kxc", t.disasm.out);
    const std::string again = dir.Path("back.kxo").string();
    t.second = RunTool({"compile", source, "-o", again});
    t.secondBytes = ReadBytes(again);
    return t;
}

struct Program {
    const char* name;
    std::string text;

    friend void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }
};

class DisasmRoundTrip : public testing::TestWithParam<Program> {};

TEST_P(DisasmRoundTrip, CompilingTheDisassemblyGivesTheSameBytes) {
    TempDir dir;
    const std::string object = dir.Path("p.kxo").string();
    const ToolRun first = RunTool({"compile", dir.Write("p.kxc", GetParam().text), "-o", object});
    ASSERT_TRUE(first.status == 0 || first.status == 2) << first.out;

    const RoundTrip t = CompileDisasmCompile(dir, object);

    EXPECT_EQ(t.disasm.status, 0) << t.disasm.err;
    EXPECT_EQ(t.disasm.err, "");
    EXPECT_EQ(t.second.status, first.status) << t.disasm.out;
    EXPECT_EQ(t.secondBytes, ReadBytes(object)) << t.disasm.out;
}

INSTANTIATE_TEST_SUITE_P(
    Programs, DisasmRoundTrip,
    testing::Values(
        Program{"Floats",
                "FMOV F1,1.5\r\nFADD M2,-0.1\r\nFMUL F3,3.4E38\r\nFDIV M4,1E-45\r\n"
                "FSUB M5,-0\r\nSETELL 1,1E39\r\nFSETELL 2,-1E39\r\nFATAN M6,0.1\r\nEND\r\n"},
        Program{"Registers",
                "MOVM M1,S3000\r\nMOVM F10100,F3000\r\nSLD S1024,-99999999\r\n"
                "LINAM 5,M0,S0\r\nDISPLAY 1,M5,2\r\nDISPLAY 1,F7,2\r\n"
                "SPEEDM 1,M1,F2,S3\r\nEND\r\n"},
        Program{"Bits",
                "SETB B99\r\nCLRB I3\r\nCPL O7\r\nAND J0,B1\r\nOR I99,O99\r\n"
                "JB 2000,J99\r\nJNB 0,I0\r\nEND\r\n"},
        Program{"NegativesAndJumps",
                "JMP 99999999\r\nCALL 0\r\nMOV M1,-99999999\r\nADD F2,-1\r\n"
                "LOOP 2000,99999999\r\nDELAY 1.9\r\nJGD 3,M1,-5\r\nEND\r\n"},
        Program{"Labels", "L1: MOV M1,0\r\nINC M1\r\nJLD L1,M1,10\r\nJMP L1\r\nEND\r\n"},
        Program{"FiveOperands",
                "CWAD 1,2,3,4,5\r\nCCWIM 9,M1,F2,S3,M3000\r\n"
                "CEAD 99999999,-99999999,0,1,-1\r\nEND"},
        // The disassembly must not add an END the program lacks.
        Program{"NoEnd", "MOV M1,5\r\nRET\r\nSETC\r\nONESTEP"}, Program{"Empty", ""}),
    [](const testing::TestParamInfo<Program>& info) { return std::string(info.param.name); });

TEST(DisasmCommand, PrintsOneCrLfLinePerRecord) {
    TempDir dir;
    const std::string object = dir.Write(
        "p.kxo", kHeader + Record(6, 0x00, {1, 5}) + Record(4, 0x06, {19}) + Record(2, 0x08));
    const ToolRun run = RunTool({"disasm", object});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "MOV M1,5\r\nSETB B19\r\nEND\r\n");
}

TEST(DisasmCommand, RefusesFilesThatAreNoObjectProgram) {
    TempDir dir;
    const std::string good = Record(6, 0x00, {1, 5});
    const std::string files[] = {
        "This is RVL412E.kxo",                // header cut short
        "This is RVL412F.kxo!" + good,        // wrong header
        kHeader + good.substr(0, 23),         // ends inside a record
        kHeader + Record(7, 0x00),            // no such group
        kHeader + Record(2, 0x08) + good,     // END is not last
        kHeader + Record(6, 0x00, {1, 5, 9})  // operand 3 of a two-operand instruction
    };
    for (const std::string& bytes : files) {
        const std::string object = dir.Write("bad.kxo", bytes);
        const ToolRun run = RunTool({"disasm", object});
        EXPECT_EQ(run.status, 1) << testing::PrintToString(bytes);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(object), std::string::npos) << run.err;
    }
}

TEST(DisasmCommand, AListingThatCannotBeWrittenFailsWith74) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    TempDir dir;
    const std::string object = dir.Write("p.kxo", kHeader + Record(2, 0x08));
    const ToolRun run = RunTool({"disasm", object}, "/dev/full");
    EXPECT_EQ(run.status, 74);
    EXPECT_EQ(run.err, "tarvex: cannot write standard output\n");
}

TEST(DisasmCommand, UnreadableFileExitsWith4) {
    TempDir dir;
    const std::string path = dir.Path("missing.kxo").string();
    const ToolRun run = RunTool({"disasm", path});
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, "不能读取文件： " + path + " ！\n");
}

// Random records that a compile can produce: every named instruction, operands drawn from the
// whole range of each rule with a bias toward its ends.
class RecordGenerator {
public:
    explicit RecordGenerator(unsigned seed) : random_(seed) {
        for (const auto& d : compiler::InstructionTable()) {
            if (!d.mnemonic.empty() && d.mnemonic != "END")
                instructions_.push_back(&d);
        }
    }

    std::string Program(int records, bool withEnd) {
        std::string bytes = kHeader;
        for (int r = 0; r < records; ++r)
            bytes += OneRecord();
        if (withEnd)
            bytes += Record(2, 0x08);
        return bytes;
    }

private:
    std::string OneRecord() {
        const auto& d =
            *instructions_[Pick(0, static_cast<std::int64_t>(instructions_.size()) - 1)];
        std::string record = Record(d.group, d.code);
        for (int k = 1; k <= d.operandCount; ++k) {
            const std::uint32_t field = k == 2 && d.floatOperand2 ? FloatBits() : Operand(d, k);
            for (int b = 0; b < 4; ++b) {
                record[static_cast<std::size_t>(4 * k + b)] =
                    static_cast<char>(field >> (24 - 8 * b));
            }
        }
        return record;
    }

    std::uint32_t Operand(const compiler::InstructionDescriptor& d, int k) {
        const auto& rule = d.operands[static_cast<std::size_t>(k - 1)];
        const std::int64_t n =
            Pick(0, 3) == 0 ? (Pick(0, 1) ? rule.min : rule.max) : Pick(rule.min, rule.max);
        const std::string_view letters = Letters(rule.kind);
        if (letters.empty())
            return static_cast<std::uint32_t>(n);
        const char letter = letters[static_cast<std::size_t>(
            Pick(0, static_cast<std::int64_t>(letters.size()) - 1))];
        return static_cast<std::uint32_t>(n + compiler::ReferenceOffset(letter));
    }

    static std::string_view Letters(OperandKind kind) {
        // NumberOrRegister references are numbers in the record.
        return kind == OperandKind::NumberOrRegister ? std::string_view{}
                                                     : compiler::AcceptedLetters(kind);
    }

    // Any single but a NaN, which no decimal literal reads as.
    std::uint32_t FloatBits() {
        for (;;) {
            const auto bits = static_cast<std::uint32_t>(Pick(0, 0xFFFFFFFF));
            if (!std::isnan(std::bit_cast<float>(bits)))
                return bits;
        }
    }

    std::int64_t Pick(std::int64_t lo, std::int64_t hi) {
        return std::uniform_int_distribution<std::int64_t>(lo, hi)(random_);
    }

    std::mt19937 random_;
    std::vector<const compiler::InstructionDescriptor*> instructions_;
};

TEST(DisasmRoundTripProperty, RandomCompilableRecordsSurviveDisasmAndCompile) {
    RecordGenerator generator(20261209);
    for (int program = 0; program < 40; ++program) {
        TempDir dir;
        const std::string bytes = generator.Program(program * 5, program % 2 == 0);
        const std::string object = dir.Write("p.kxo", bytes);

        const RoundTrip t = CompileDisasmCompile(dir, object);

        ASSERT_EQ(t.disasm.status, 0) << t.disasm.err;
        ASSERT_EQ(t.second.status, program % 2 == 0 ? 0 : 2) << t.second.out << t.disasm.out;
        ASSERT_EQ(t.secondBytes, bytes) << t.disasm.out;
    }
}

}  // namespace
