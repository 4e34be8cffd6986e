#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRunner.h"
#include "cli/CommandLine.h"
#include "cli/ProgressLine.h"

namespace {

using Values = std::map<std::string, std::string, std::less<>>;

constexpr cli::OptionRule kRules[] = {
    {"--output", "-o", true}, {"--port", "", true}, {"--silent", "", false}};

struct ParseCase {
    const char* name;
    std::vector<std::string> words;
    cli::LaterWords later;
    std::vector<std::string> positional;
    Values values;
    bool help;
    std::string error;
};

const cli::LaterWords kOptions = cli::LaterWords::MayBeOptions;
const cli::LaterWords kPositional = cli::LaterWords::ArePositional;

// clang-format off
const ParseCase kParseCases[] = {
    {"alias and long form", {"a", "-o", "x", "--port", "/dev/pts/3"}, kOptions, {"a"}, {{"--output", "x"}, {"--port", "/dev/pts/3"}}, false, ""},
    {"inline value", {"--output=x=y", "a"}, kOptions, {"a"}, {{"--output", "x=y"}}, false, ""},
    {"last of a repeated option wins", {"-o", "x", "-o", "y"}, kOptions, {}, {{"--output", "y"}}, false, ""},
    {"a value may start with a dash", {"-o", "-5", "a"}, kOptions, {"a"}, {{"--output", "-5"}}, false, ""},
    {"flag", {"--silent", "a"}, kOptions, {"a"}, {{"--silent", ""}}, false, ""},
    {"double dash ends the options", {"--", "-o", "--bogus"}, kOptions, {"-o", "--bogus"}, {}, false, ""},
    {"lone dash is a word", {"-"}, kOptions, {"-"}, {}, false, ""},
    {"options after words", {"a", "b", "--port", "COM1"}, kOptions, {"a", "b"}, {{"--port", "COM1"}}, false, ""},
    {"later words stay words", {"write", "-3", "--port"}, kPositional, {"write", "-3", "--port"}, {}, false, ""},
    {"help short", {"-h"}, kOptions, {}, {}, true, ""},
    {"help long after a word", {"a", "--help"}, kOptions, {"a"}, {}, true, ""},
    {"bytes of any encoding pass unchanged", {"\xb3\xcc\xd0\xf2.kxc", "-o", "\xe9\xff"}, kOptions, {"\xb3\xcc\xd0\xf2.kxc"}, {{"--output", "\xe9\xff"}}, false, ""},
    {"one dash or two alike", {"--o", "x", "-port", "y"}, kOptions, {}, {{"--output", "x"}, {"--port", "y"}}, false, ""},
    {"unknown option", {"a", "--bogus=3"}, kOptions, {"a"}, {}, false, "unknown option --bogus"},
    {"no compact short options", {"-os"}, kOptions, {}, {}, false, "unknown option -os"},
    {"missing value", {"a", "-o"}, kOptions, {"a"}, {{"--output", ""}}, false, "option -o needs a value"},
    {"missing value after a given one", {"-o", "x", "--output"}, kOptions, {}, {{"--output", "x"}}, false, "option --output needs a value"},
    {"flag with a value", {"--silent=1"}, kOptions, {}, {{"--silent", ""}}, false, "option --silent takes no value"},
    {"flag with a value after a valued option", {"--output=x", "--silent=1"}, kOptions, {}, {{"--output", "x"}, {"--silent", ""}}, false, "option --silent takes no value"},
};
// clang-format on

TEST(ParseArguments, ReadsWordsAsTheToolAlwaysHas) {
    for (const ParseCase& c : kParseCases) {
        const std::vector<std::string_view> words(c.words.begin(), c.words.end());
        const cli::ParsedArgs parsed = cli::ParseArguments(words, kRules, c.later);
        EXPECT_EQ(parsed.positional, c.positional) << c.name;
        EXPECT_EQ(parsed.values, c.values) << c.name;
        EXPECT_EQ(parsed.help, c.help) << c.name;
        EXPECT_EQ(parsed.error, c.error) << c.name;
    }
}

// The whole tool: where each answer goes and with which status.
struct ToolCase {
    std::vector<std::string> args;
    int exitCode;
    std::string outStart;  // what standard output begins with
    std::string errStart;  // what standard error begins with
};

const std::string kUsage = "usage: tarvex COMMAND [ARGS...]\n";

const ToolCase kToolCases[] = {
    {{"--help"}, 0, kUsage, ""},
    {{"-h"}, 0, kUsage, ""},
    {{"help"}, 0, kUsage, ""},
    {{"-h", "disasm"}, 0, "usage: tarvex disasm OBJECT.kxo\n", ""},
    {{"--version"}, 0, "tarvex 2.0\n", ""},
    {{"disasm", "--help"}, 0, "usage: tarvex disasm OBJECT.kxo\n", ""},
    {{"registers", "-h"}, 0, "usage: tarvex registers new FILE\n", ""},
    {{}, 64, "", kUsage},
    {{"--bogus"}, 64, "", "tarvex: unknown command --bogus\n" + kUsage},
    {{"-version"}, 0, "tarvex 2.0\n", ""},
    {{"help", "frobnicate"}, 64, "", "tarvex: unknown command frobnicate\n" + kUsage},
    {{"disasm", "--bogus", "a"},
     64,
     "",
     "tarvex disasm: unknown option --bogus\nusage: tarvex disasm"},
    {{"screen", "a.bmp", "-o"}, 64, "", "tarvex screen: option -o needs a value\nusage:"},
    {{"emulate", "--silent=yes"}, 64, "", "tarvex emulate: option --silent takes no value\n"},
    {{"emulate", "stray"}, 64, "", "tarvex emulate: unexpected argument stray\n"},
    {{"disasm", "a", "b"}, 64, "", "tarvex disasm: expected one object file\n"},
    {{"download", "program", "p.kxo", "--port", "COM3x"},
     64,
     "",
     "tarvex download: --port must be COM1 to COM255, a device path such as /dev/ttyUSB0 or\n"
     "usb:VID:PID[:SERIAL], not COM3x\n"},
    {{"download", "program", "p.kxo", "--port", "usb:12345:1"},
     64,
     "",
     "tarvex download: --port must be COM1 to COM255, a device path such as /dev/ttyUSB0 or\n"
     "usb:VID:PID[:SERIAL], not usb:12345:1\n"},
    {{"ports", "x"}, 64, "", "tarvex ports: ports takes no file\n"},
    {{"registers", "erase", "f"}, 64, "", "tarvex registers: unknown action erase\n"},
};

TEST(Tool, AnswersHelpVersionAndUsageFaults) {
    for (const ToolCase& c : kToolCases) {
        const ToolRun run = RunTool(c.args);
        const std::string words = testing::PrintToString(c.args);
        EXPECT_EQ(run.status, c.exitCode) << words;
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart) << words;
        EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart) << words;
        EXPECT_EQ(run.out.empty(), c.outStart.empty()) << words;
        EXPECT_EQ(run.err.empty(), c.errStart.empty()) << words;
    }
}

TEST(ProgressText, FillsTheBarInProportion) {
    const struct {
        int done, total;
        double left;
        std::string text;
    } cases[] = {
        {0, 5, 2.0, "[----------] 0/5 packets, 0:02 left"},
        {3, 5, 59.6, "[######----] 3/5 packets, 1:00 left"},
        {5, 5, 0.0, "[##########] 5/5 packets, 0:00 left"},
        {0, 0, 0.0, "[##########] 0/0 packets, 0:00 left"},
        {1, 64, 605.0, "[----------] 1/64 packets, 10:05 left"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::ProgressText(c.done, c.total, c.left, 10), c.text);
}

TEST(ProgressLine, OffATerminalPrintsOneLinePerTenthWithTimeLeftFromThePace) {
    std::ostringstream log;
    double seconds = 0;
    cli::ProgressLine line(log, 20, 500, false, [&seconds] { return seconds; });
    line.Draw(0);  // no packet yet: the timer's period is the pace
    seconds = 1.0;
    line.Draw(1);  // same tenth: nothing
    line.Draw(2);
    seconds = 4.0;
    line.Draw(20, true);
    EXPECT_EQ(log.str(),
              "[------------------------------] 0/20 packets, 0:10 left\n"
              "[###---------------------------] 2/20 packets, 0:09 left\n"
              "[##############################] 20/20 packets, 0:00 left\n");
}

TEST(ProgressLine, OnATerminalRedrawsInPlaceAndEndsTheLineAtTheLast) {
    std::ostringstream screen;
    cli::ProgressLine line(screen, 2, 100, true, [] { return 0.0; });
    line.ProgressMoved(1);
    line.ProgressMoved(1);
    line.Draw(2, true);
    line.Report("控制器无应答！");
    EXPECT_EQ(screen.str(),
              "\r[###############---------------] 1/2 packets, 0:00 left"
              "\r[###############---------------] 1/2 packets, 0:00 left"
              "\r[##############################] 2/2 packets, 0:00 left\n");
    EXPECT_EQ(line.messages, std::vector<std::string>{"控制器无应答！"});
}

}  // namespace
