#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ToolRunner.h"
#include "tests/support/Patience.h"
#include "tests/support/Portable.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = "MOV M1,5\r\nEND\r\n";
const std::string kBitmap = "BM" + std::string(1084, '\0');

// Every row runs in a folder holding p.kxc, b.bmp, r.dat (a register file), sub/ and link.kxo
// pointing at p.kxc; "{D}" in a word stands for that folder.
struct HostileCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string says;      // found in what the tool printed
    const char* stdoutTo;  // standard output goes there instead of being captured

    friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};

class HostileInput : public testing::TestWithParam<HostileCase> {};

std::string Expand(std::string word, const std::string& dir) {
    for (std::size_t at; (at = word.find("{D}")) != std::string::npos;)
        word.replace(at, 3, dir);
    return word;
}

TEST_P(HostileInput, RefusesWithTheExitStatusAndWritesNothing) {
    const HostileCase& c = GetParam();
    TempDir dir;
    const std::string root = dir.Path("").string();
    dir.Write("p.kxc", kProgram);
    dir.Write("b.bmp", kBitmap);
    const std::string registerFile = "This is Par.dat for RVL412E. By RSE.\r\n";
    dir.Write("r.dat", registerFile);
    fs::create_directory(dir.Path("sub"));
    fs::create_symlink(dir.Path("p.kxc"), dir.Path("link.kxo"));

    std::vector<std::string> args;
    for (const std::string& word : c.args)
        args.push_back(Expand(word, root));
    const ToolRun run = RunTool(args, c.stdoutTo);

    EXPECT_EQ(run.status, c.exitCode) << run.out << run.err;
    EXPECT_NE((run.out + run.err).find(Expand(c.says, root)), std::string::npos)
        << run.out << run.err;
    EXPECT_EQ(ReadBytes(dir.Path("p.kxc")), kProgram);
    EXPECT_EQ(ReadBytes(dir.Path("b.bmp")), kBitmap);
    EXPECT_EQ(ReadBytes(dir.Path("r.dat")), registerFile);
}

const std::string kSame = "输出文件与输入文件相同：";
const std::vector<std::string> kValues = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",
                                          "9",  "10", "11", "12", "13", "14", "15", "16",
                                          "17", "18", "19", "20", "21", "22", "23"};

std::vector<std::string> RegisterWrite(const std::string& first) {
    std::vector<std::string> args{"registers", "write", "{D}r.dat", "0", first};
    args.insert(args.end(), kValues.begin(), kValues.end());
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileInput,
    testing::Values(
        HostileCase{"CompileOntoItself",
                    {"compile", "{D}p.kxc", "-o", "{D}p.kxc"},
                    64,
                    kSame + "{D}p.kxc",
                    nullptr},
        HostileCase{"CompileThroughALinkToItself",
                    {"compile", "{D}p.kxc", "-o", "{D}link.kxo"},
                    64,
                    kSame + "{D}link.kxo",
                    nullptr},
        HostileCase{"CompileOntoItselfSpeltOtherwise",
                    {"compile", "{D}p.kxc", "-o", "{D}sub/../p.kxc"},
                    64,
                    kSame,
                    nullptr},
        HostileCase{"ScreenOntoItself",
                    {"screen", "{D}b.bmp", "-o", "{D}b.bmp"},
                    64,
                    kSame + "{D}b.bmp",
                    nullptr},
        HostileCase{
            "DownloadScratchOntoTheBitmap",
            {"download", "screen", "{D}b.bmp", "--port", "/dev/null", "--scratch", "{D}b.bmp"},
            64,
            kSame + "{D}b.bmp",
            nullptr},
        HostileCase{"CompileEndlessDevice",
                    {"compile", "/dev/zero", "-o", "{D}z.kxo"},
                    4,
                    "该文件太大，无法打开。",
                    nullptr},
        HostileCase{
            "DisasmUnreadableFile", {"disasm", "/proc/self/mem"}, 4, "/proc/self/mem", nullptr},
        HostileCase{
            "DisasmEndlessDevice", {"disasm", "/dev/zero"}, 1, "not an object program", nullptr},
        HostileCase{"ScreenFromAFolder", {"screen", "{D}sub"}, 4, "{D}sub", nullptr},
        HostileCase{"RegistersReadEndlessDevice",
                    {"registers", "read", "/dev/zero", "0"},
                    4,
                    "文件格式不正确",
                    nullptr},
        HostileCase{"RegisterValueEndingInCr", RegisterWrite("1\r"), 64,
                    "a value holds a line break", nullptr},
        HostileCase{"ProgramNumberTooLarge",
                    {"download", "program", "{D}p.kxc", "--port", "/dev/null", "--number", "99999"},
                    64,
                    "--number must be a number from 0 to 9999, not 99999",
                    nullptr},
        HostileCase{"ProgramNumberNotANumber",
                    {"download", "program", "{D}p.kxc", "--port", "/dev/null", "--number", "1a"},
                    64,
                    "not 1a",
                    nullptr},
        HostileCase{"PageNumberTooLarge",
                    {"download", "params", "{D}r.dat", "--port", "/dev/null", "--page", "10000"},
                    64,
                    "--page must be",
                    nullptr},
        HostileCase{"HelpToAFullDisk", {"help"}, 74, "cannot write standard output", "/dev/full"},
        HostileCase{"ReplayEndlessDevice",
                    {"emulate", "--replay", "/dev/zero"},
                    4,
                    "cannot read the trace /dev/zero",
                    nullptr},
        HostileCase{"ReplayFolder",
                    {"emulate", "--replay", "{D}sub"},
                    4,
                    "cannot read the trace {D}sub",
                    nullptr},
        HostileCase{"ImportEndlessDevice",
                    {"registers", "import", "{D}r.dat", "/dev/zero"},
                    4,
                    "cannot read /dev/zero",
                    nullptr},
        HostileCase{"ImportUnreadableFile",
                    {"registers", "import", "{D}r.dat", "/proc/self/mem"},
                    4,
                    "cannot read /proc/self/mem",
                    nullptr},
        HostileCase{"ImportFolder",
                    {"registers", "import", "{D}r.dat", "{D}sub"},
                    4,
                    "cannot read {D}sub",
                    nullptr}),
    [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

TEST(HostileInput, ProgramJustOverTheEditorsCapacityIsTooLarge) {
    TempDir dir;
    const std::string program = dir.Write("big.kxc", std::string(1'048'576, ';'));
    const ToolRun run = RunTool({"compile", program});
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.out, "该文件太大，无法打开。\n");
    EXPECT_FALSE(fs::exists(dir.Path("big.kxo")));
}

std::string BigEndian(std::uint32_t v) {
    return std::string{char(v >> 24), char(v >> 16 & 255), char(v >> 8 & 255), char(v & 255)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : body) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return BigEndian(std::uint32_t(data.size())) + body + BigEndian(~crc);
}

// A PNG whose header claims WIDTH x HEIGHT pixels, with no picture data worth the name.
std::string PngHeader(std::uint32_t width, std::uint32_t height) {
    return "\x89PNG\r\n\x1a\n" +
           PngChunk("IHDR", BigEndian(width) + BigEndian(height) + std::string("\x08\0\0\0\0", 5)) +
           PngChunk("IDAT", "") + PngChunk("IEND", "");
}

TEST(HostileInput, PictureOverTheReadersLimitSaysItsSizeAndTheLimit) {
    TempDir dir;
    const std::string picture = dir.Write("huge.png", PngHeader(30000, 30000));
    const ToolRun run = RunTool({"screen", "import", picture, "-o", dir.Path("s.bmp").string()});
    EXPECT_EQ(run.status, 4);
    // The limit is Qt's own (128 MiB in Qt 6.4).
    EXPECT_EQ(run.out.rfind("图片太大： " + picture + " 有 3600000000 字节，最多 ", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find(" 字节！"), std::string::npos) << run.out;
}

// A pipe whose writer stays open but never writes must not hold a command for long.
TEST(HostileInput, SilentPipeIsUnreadableSoonAfterItsPatience) {
    TempDir dir;
    const std::string fifo = dir.Path("pipe").string();
    const portable::Fifo writer(fifo);
    ASSERT_TRUE(writer.IsOpen());
    const std::string registerFile = dir.Write("r.dat", "This is Par.dat for RVL412E. By RSE.\r\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"compile", fifo, "-o", dir.Path("p.kxo").string()},
          {"disasm", fifo},
          {"registers", "import", registerFile, fifo},
          {"emulate", "--replay", fifo},
          {"screen", fifo, "-o", dir.Path("s.dat").string()}}) {
        const auto start = std::chrono::steady_clock::now();
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 4) << args.front() << run.out << run.err;
        EXPECT_LT(std::chrono::steady_clock::now() - start, testsupport::kNoticeBound)
            << args.front();
    }
}

}  // namespace
