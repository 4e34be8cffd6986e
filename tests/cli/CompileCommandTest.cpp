#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ObjectBytes.h"
#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;

const std::string kMov1 = Record(6, 0x00, {1, 5});  // MOV M1,5
const std::string kMov2 = Record(6, 0x00, {2, 1});  // MOV M2,1
const std::string kEnd = Record(2, 0x08);

TEST(CompileCommand, WritesTheObjectAndPrintsTheSuccessMessageWithThePathAsGiven) {
    TempDir dir;
    const std::string program = dir.Write("p.kxc", "MOV M1,5\r\n\r\n; NOTE\r\nEND\r\n");
    // The path goes into the message unnormalised.
    const std::string object = dir.Path(".").string() + "/./p.kxo";

    const ToolRun run = RunTool({"compile", program, "-o", object});

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "编译成功！目标文件：" + object + " !\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(object), kHeader + kMov1 + kEnd);
}

TEST(CompileCommand, WithoutOutputOptionWritesBesideTheProgramWithKxoExtension) {
    TempDir dir;
    const std::string program = dir.Write("motion.kxc", "MOV M1,5\r\nEND");

    const ToolRun run = RunTool({"compile", program});

    const std::string object = dir.Path("motion.kxo").string();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "编译成功！目标文件：" + object + " !\n");
    EXPECT_EQ(ReadBytes(object), kHeader + kMov1 + kEnd);
}

struct OutcomeCase {
    const char* name;
    std::string text;
    int exitCode;
    std::string message;
    int editorLine;  // 0: nothing on stderr
    std::string objectBytes;

    friend void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }
};

class CompileOutcome : public testing::TestWithParam<OutcomeCase> {};

// Blank and comment lines before the faulty line move the editor line, not the code line (3).
const std::string kTwoCodeLinesAmidNoise = "\r\n; c\r\nMOV M1,5\r\n  \r\nMOV M2,1\r\n";

std::string Fault(const std::string& line) {
    return kTwoCodeLinesAmidNoise + line + "\r\nEND\r\n";
}

TEST_P(CompileOutcome, ExitCodeMessageAndObjectBytes) {
    const OutcomeCase& c = GetParam();
    TempDir dir;
    const std::string program = dir.Write("p.kxc", c.text);
    const std::string object = dir.Path("p.kxo").string();

    const ToolRun run = RunTool({"compile", program, "-o", object});

    EXPECT_EQ(run.status, c.exitCode);
    EXPECT_EQ(run.out, c.message + "\n");
    EXPECT_EQ(run.err, c.editorLine == 0 ? std::string()
                                         : program + ":" + std::to_string(c.editorLine) + ": " +
                                               c.message + "\n");
    EXPECT_EQ(ReadBytes(object), c.objectBytes);
}

const std::string kBefore = kHeader + kMov1 + kMov2;
// A refused line leaves no object program at all.
const std::string kNoObject;

INSTANTIATE_TEST_SUITE_P(
    Programs, CompileOutcome,
    testing::Values(
        OutcomeCase{"MissingEndWithLineBreak", "MOV M1,5\r\nMOV M2,1\r\n", 2,
                    "警告：程序缺少“End”！", 0, kBefore},
        OutcomeCase{"MissingEndWithoutLineBreak", "MOV M1,5\r\n\r\nMOV M2,1", 2,
                    "警告：程序缺少“End”！", 0, kBefore},
        OutcomeCase{"EmptyProgram", "", 2, "警告：程序缺少“End”！", 0, kHeader},
        // Bytes are read unchanged: with bare LF line ends the compile drops the "5".
        OutcomeCase{"BareLineFeedsAreNotConverted", "MOV M1,5\nEND\n", 1, "第 1 行程序缺少参数！",
                    1, kNoObject},
        OutcomeCase{"UnknownMnemonic", Fault("FOO 1"), 1, "第 3 行程序命令错误！", 6, kNoObject},
        OutcomeCase{"LabelOnlyLine", Fault("L1:"), 1, "第 3 行程序命令错误！", 6, kNoObject},
        OutcomeCase{"TypeFaultOperand1", Fault("MOV 5,M1"), 1, "第 3 行程序第一参数类型错误！", 6,
                    kNoObject},
        OutcomeCase{"TypeFaultOperand2", Fault("MOVM M1,5"), 1, "第 3 行程序第二参数类型错误！", 6,
                    kNoObject},
        OutcomeCase{"TypeFaultOperand3", Fault("JGD 1,M3,M4"), 1, "第 3 行程序第三参数类型错误！",
                    6, kNoObject},
        OutcomeCase{"RangeFaultOperand1", Fault("JMPM M3001"), 1, "第 3 行程序第一参数范围超限！",
                    6, kNoObject},
        OutcomeCase{"RangeFaultOperand2", Fault("ADJ 1,-1"), 1, "第 3 行程序第二参数范围超限！", 6,
                    kNoObject},
        OutcomeCase{"RangeFaultOperand3", Fault("JGD 1,M3,100000000"), 1,
                    "第 3 行程序第三参数范围超限！", 6, kNoObject},
        OutcomeCase{"MissingOperand", Fault("MOV M1"), 1, "第 3 行程序缺少参数！", 6, kNoObject},
        OutcomeCase{"TooManyOperands", Fault("MOV M1,5,6"), 1, "第 3 行程序多参数！", 6, kNoObject},
        OutcomeCase{"FaultInOperand4IsAnUnknownError", Fault("CWAD 1,2,3,M4,5"), 1, "未知错误！", 6,
                    kNoObject},
        OutcomeCase{"FaultInOperand5IsAnUnknownError", Fault("CWAD 1,2,3,4,100000000"), 1,
                    "未知错误！", 6, kNoObject}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

// The success message names the object file, which the table cannot know in advance.
TEST(CompileCommand, CodeAfterEndIsNeitherCheckedNorWritten) {
    TempDir dir;
    const std::string program = dir.Write("p.kxc", "MOV M1,5\r\nEND\r\nFOO\r\nEND");
    const std::string object = dir.Path("p.kxo").string();
    const ToolRun run = RunTool({"compile", program, "-o", object});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "编译成功！目标文件：" + object + " !\n");
    EXPECT_EQ(ReadBytes(object), kHeader + kMov1 + kEnd);
}

TEST(CompileCommand, RefusesMoreThan2048CodeLinesNamingTheEditorLine) {
    TempDir dir;
    std::string text = "; header comment\r\n";
    for (int i = 0; i < 2049; ++i)
        text += "MOV M1,1\r\n";
    text += "END\r\n";
    const std::string program = dir.Write("p.kxc", text);
    const std::string object = dir.Path("p.kxo").string();

    const ToolRun run = RunTool({"compile", program, "-o", object});

    EXPECT_EQ(run.status, 1);
    ASSERT_FALSE(run.out.empty());
    EXPECT_NE(run.out.find("2049"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, program + ":2050: " + run.out);
    // No partial program that a download would accept as complete.
    EXPECT_FALSE(fs::exists(object));
}

TEST(CompileCommand, UnreadableProgramCreatesNoObject) {
    TempDir dir;
    const std::string object = dir.Path("p.kxo").string();
    for (const std::string& program : {dir.Path("missing.kxc").string(), dir.Path("").string()}) {
        const ToolRun run = RunTool({"compile", program, "-o", object});
        EXPECT_EQ(run.status, 4) << program;
        EXPECT_EQ(run.out, "不能读取文件： " + program + " ！\n");
        EXPECT_FALSE(fs::exists(object));
    }
}

TEST(CompileCommand, UncreatableObjectFileIsReportedWithItsPath) {
    TempDir dir;
    const std::string program = dir.Write("p.kxc", "MOV M1,5\r\nEND\r\n");
    for (const std::string& object :
         {dir.Path("no-such-dir/p.kxo").string(), dir.Path("").string()}) {
        const ToolRun run = RunTool({"compile", program, "-o", object});
        EXPECT_EQ(run.status, 3) << object;
        EXPECT_EQ(run.out, "不能生成文件： " + object + " ！\n");
        EXPECT_EQ(run.err, "");
    }
}

TEST(CompileCommand, BadCommandLinesExitWithUsage) {
    TempDir dir;
    const std::string program = dir.Write("p.kxc", "END\r\n");
    const std::string object = dir.Write("o.kxo", "keep");
    const std::vector<std::vector<std::string>> commandLines = {
        {},
        {"compile"},
        {"compile", program, program},
        {"compile", program, "-o"},
        {"compile", "--bogus", program},
        {"frobnicate"},
        {"help", "frobnicate"},
        {"compile", object},  // the default object path would be the program itself
    };
    for (const auto& args : commandLines) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 64) << testing::PrintToString(args);
        EXPECT_NE(run.err.find("tarvex"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(fs::exists(dir.Path("p.kxo")));
    EXPECT_EQ(ReadBytes(object), "keep");
}

TEST(CompileCommand, HelpGoesToStdoutAndSucceeds) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"help"}, {"help", "compile"}, {"compile", "-h"}}) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 0) << testing::PrintToString(args);
        EXPECT_NE(run.out.find("compile PROGRAM.kxc"), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

// The check prints what the compile would, for every faulty line, and writes nothing.
TEST(CheckCommand, ListsEveryFaultyLineWithItsExitStatus) {
    TempDir dir;
    const struct {
        const char* text;
        std::vector<std::string> args;  // after "check PROGRAM"
        int exitCode;
        std::string out;  // "@" stands for the program's path
    } rows[] = {
        {"MOV M1,5\r\nEND\r\nFOO\r\n", {}, 0, ""},
        {"; note\r\nFOO\r\n\r\nMOV M1\r\nL1: JMP L1\r\nEND\r\n",
         {},
         1,
         "@:2: 第 1 行程序命令错误！\n@:4: 第 2 行程序缺少参数！\n"},
        {"MOV M1,5\r\n", {}, 2, "@: 警告：程序缺少“End”！\n"},
        {"FOO\r\n", {}, 1, "@:1: 第 1 行程序命令错误！\n@: 警告：程序缺少“End”！\n"},
        {"FOO\r\n",
         {"--json"},
         1,
         R"([{"code":1,"codeLine":1,"line":1,"message":"第 1 行程序命令错误！"},)"
         R"({"code":0,"codeLine":0,"line":0,"message":"警告：程序缺少“End”！"}])"
         "\n"},
        {"END\r\n", {"--json"}, 0, "[]\n"},
    };
    for (const auto& row : rows) {
        const std::string program = dir.Write("p.kxc", row.text);
        std::vector<std::string> args = {"check", program};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const ToolRun run = RunTool(args);
        std::string expected = row.out;
        for (std::size_t at = 0; (at = expected.find('@', at)) != std::string::npos;
             at += program.size())
            expected.replace(at, 1, program);
        EXPECT_EQ(run.status, row.exitCode) << row.text;
        EXPECT_EQ(run.out, expected) << row.text;
    }
    EXPECT_EQ(RunTool({"check", dir.Path("missing.kxc").string()}).status, 4);
    EXPECT_EQ(RunTool({"check"}).status, 64);
    EXPECT_FALSE(fs::exists(dir.Path("p.kxo")));
}

// A program saved as UTF-8 is still read as GBK, with a warning on stderr; the outcome is the same.
TEST(CheckCommand, WarnsOfAUtf8ProgramAndCompileToo) {
    TempDir dir;
    const std::string utf8 = dir.Write("u.kxc", "' \xE4\xB8\xAD\xE6\x96\x87\r\nEND\r\n");
    const std::string gbk = dir.Write("g.kxc", "' \xD6\xD0\xCE\xC4\r\nEND\r\n");
    const std::string warning = utf8 + "：警告：此文件似乎是 UTF-8 编码，程序按 GBK 读取。\n";
    const ToolRun check = RunTool({"check", utf8});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.err, warning);
    const ToolRun compile = RunTool({"compile", utf8, "-o", dir.Path("u.kxo").string()});
    EXPECT_EQ(compile.status, 0);
    EXPECT_EQ(compile.err, warning);
    EXPECT_EQ(RunTool({"check", gbk}).err, "");
}

TEST(PortsCommand, ListsAsTextOrAsOneJsonArray) {
    const ToolRun text = RunTool({"ports"});
    EXPECT_EQ(text.status, 0);
    const ToolRun json = RunTool({"ports", "--json"});
    EXPECT_EQ(json.status, 0);
    ASSERT_GE(json.out.size(), 3u);
    EXPECT_EQ(json.out.front(), '[');
    EXPECT_EQ(json.out.substr(json.out.size() - 2), "]\n");
    // Every listed device is in both forms.
    for (std::size_t at = 0, end; (end = text.out.find('\n', at)) != std::string::npos;
         at = end + 1) {
        const std::string line = text.out.substr(at, end - at);
        const std::string path = line.substr(0, line.find(' '));
        EXPECT_NE(json.out.find("\"path\":\"" + path + "\""), std::string::npos) << path;
    }
    // Every entry has every key, null where unknown.
    const auto count = [&json](const std::string& key) {
        std::size_t n = 0;
        for (std::size_t at = json.out.find(key); at != std::string::npos;
             at = json.out.find(key, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("\"vendorId\":"), count("\"path\":"));
    EXPECT_EQ(count("\"productId\":"), count("\"path\":"));
}

}  // namespace
