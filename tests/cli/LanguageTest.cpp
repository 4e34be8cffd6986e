#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ToolRunner.h"

namespace {

// The variables that choose the language, set for one run and put back afterwards.
class LanguageEnvironment {
public:
    explicit LanguageEnvironment(const std::vector<std::pair<const char*, const char*>>& values) {
        for (const char* name : kNames) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            Set(name, nullptr);
        }
        for (const auto& [name, value] : values)
            Set(name, value);
    }
    ~LanguageEnvironment() {
        for (const auto& [name, value] : saved_)
            Set(name, value ? value->c_str() : nullptr);
    }
    LanguageEnvironment(const LanguageEnvironment&) = delete;
    LanguageEnvironment& operator=(const LanguageEnvironment&) = delete;

private:
    static constexpr const char* kNames[] = {"TARVEX_LANG", "LC_ALL", "LC_MESSAGES", "LANG"};
    static void Set(const char* name, const char* value) {
#ifdef _WIN32
        _putenv_s(name, value ? value : "");
#else
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
#endif
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

constexpr char kZhFault[] = "第 1 行程序命令错误！\n";
constexpr char kEnFault[] = "Line 1: unknown instruction!\n";

TEST(Language, CompileFaultsFollowTheOverrideThenTheLocale) {
    struct Row {
        std::vector<std::pair<const char*, const char*>> environment;
        const char* expected;
    };
    const Row rows[] = {
        {{}, kZhFault},
        {{{"LANG", "C"}}, kZhFault},
        {{{"LANG", "POSIX"}}, kZhFault},
        {{{"LANG", "zh_CN.UTF-8"}}, kZhFault},
        {{{"LANG", "de_DE.UTF-8"}}, kZhFault},
        {{{"LANG", "en_US.UTF-8"}}, kEnFault},
        {{{"LC_MESSAGES", "en_GB.UTF-8"}, {"LANG", "zh_CN.UTF-8"}}, kEnFault},
        {{{"LC_ALL", "C"}, {"LANG", "en_US.UTF-8"}}, kZhFault},
        {{{"TARVEX_LANG", "en"}}, kEnFault},
        {{{"TARVEX_LANG", "en"}, {"LC_ALL", "zh_CN.UTF-8"}}, kEnFault},
        {{{"TARVEX_LANG", "zh"}, {"LANG", "en_US.UTF-8"}}, kZhFault},
        // An unknown override leaves the choice to the locale.
        {{{"TARVEX_LANG", "fr"}, {"LANG", "en_US.UTF-8"}}, kEnFault},
    };
    TempDir dir;
    const std::string program = dir.Write("bad.kxc", "NOPE M1\r\nEND\r\n");
    for (const Row& row : rows) {
        std::string label;
        for (const auto& [name, value] : row.environment)
            label += std::string(name) + "=" + value + " ";
        const LanguageEnvironment environment(row.environment);
        const ToolRun run = RunTool({"compile", program});
        EXPECT_EQ(run.status, 1) << label;
        EXPECT_EQ(run.out, row.expected) << label;
        EXPECT_EQ(run.err, program + ":1: " + row.expected) << label;
    }
}

TEST(Language, UsageFaultsAndHelpInBothLanguages) {
    struct Row {
        const char* language;
        const char* firstLine;
    };
    const Row rows[] = {
        {"zh", "tarvex registers: \u201c请填入不多于9个的字符。\u201d (1234567890)\n"},
        {"en", "tarvex registers: \u201cEnter no more than 9 characters.\u201d (1234567890)\n"},
    };
    std::vector<std::string> args = {"registers", "write", "r.dat", "0"};
    args.insert(args.end(), 23, "1");
    args.push_back("1234567890");
    std::vector<std::string> helps;
    for (const Row& row : rows) {
        const LanguageEnvironment environment(
            std::vector<std::pair<const char*, const char*>>{{"TARVEX_LANG", row.language}});
        const ToolRun refused = RunTool(args);
        EXPECT_EQ(refused.status, 64) << row.language;
        EXPECT_EQ(refused.err.substr(0, refused.err.find('\n') + 1), row.firstLine);
        const ToolRun help = RunTool({"--help"});
        EXPECT_EQ(help.status, 0) << row.language;
        helps.push_back(help.out);
    }
    // The help texts are written in English in both.
    EXPECT_EQ(helps[0], helps[1]);
    EXPECT_EQ(helps[1].rfind("usage: tarvex COMMAND [ARGS...]\n", 0), 0u) << helps[1];
}

}  // namespace
