#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;

// One way to run a command. "<in:NAME>" is a file the run reads (made with real content), and
// "<out:NAME>" one it writes.
struct Form {
    std::string command;
    std::vector<std::string> words;
};

const std::vector<std::string> kPage(24, "7");

std::vector<std::string> With(std::vector<std::string> words,
                              const std::vector<std::string>& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

// Every command `tarvex help` lists needs at least one form here, even one naming no files.
const std::vector<Form> kForms = {
    {"compile", {"compile", "<in:p.kxc>", "-o", "<out:p.kxo>"}},
    {"check", {"check", "<in:p.kxc>"}},
    {"disasm", {"disasm", "<in:p.kxo>"}},
    {"emulate", {"emulate", "--replay", "<in:t.trace>"}},
    {"registers", {"registers", "new", "<out:r.dat>"}},
    {"registers", With({"registers", "write", "<out:r.dat>", "0"}, kPage)},
    {"registers", {"registers", "read", "<in:r.dat>", "0"}},
    {"registers", {"registers", "diff", "<in:r.dat>", "<in:q.dat>"}},
    {"registers", {"registers", "export", "<in:r.dat>", "<out:r.csv>"}},
    {"registers", {"registers", "import", "<out:r.dat>", "<in:r.csv>"}},
    {"download",
     {"download", "program", "<in:p.kxc>", "--port", "/dev/null", "--trace", "<out:t.trace>"}},
    {"download",
     {"download", "params", "<in:r.dat>", "--port", "/dev/null", "--trace", "<out:t.trace>"}},
    {"download",
     {"download", "screen", "<in:b.bmp>", "--port", "/dev/null", "--scratch", "<out:s.dat>",
      "--trace", "<out:t.trace>"}},
    {"ports", {"ports"}},
    {"screen", {"screen", "<in:b.bmp>", "-o", "<out:s.dat>"}},
    {"screen", {"screen", "import", "<in:b.bmp>", "-o", "<out:s.bmp>"}},
    {"screen", {"screen", "preview", "<in:b.bmp>"}},
    {"job",
     {"job", "new", "<out:j.tvjob>", "--program", "<in:p.kxc>", "--params", "<in:r.dat>", "--page",
      "1", "--stamp-csv", "<in:u.csv>"}},
    {"job", {"job", "run", "<in:j.tvjob>", "--port", "/dev/null", "--ledger", "<out:u.jsonl>"}},
    {"ledger", {"ledger", "--ledger", "<in:u.jsonl>"}},
    {"lsp", {"lsp"}},
    {"syntax", {"syntax", "--vim"}},
    {"trace",
     {"trace", "export", "<in:t.trace>", "--pcap", "<out:t.pcap>", "--csv", "<out:t.csv>"}},
};

std::string Content(const std::string& name) {
    const std::string ext = fs::path(name).extension().string();
    if (ext == ".kxc")
        return "MOV M1,5\r\nEND\r\n";
    if (ext == ".dat")
        return "This is Par.dat for RVL412E. By RSE.\r\n[S0000] = 5\r\n";
    if (ext == ".csv")
        return "number,value\r\nS0000,9\r\n";
    if (ext == ".bmp")
        return "BM" + std::string(1084, '\0');
    return "input bytes of " + name;
}

// The part of a placeholder word after its role, or empty for a plain word.
std::string NameIn(const std::string& word, const std::string& role) {
    const std::string head = "<" + role + ":";
    if (word.rfind(head, 0) != 0)
        return {};
    return word.substr(head.size(), word.size() - head.size() - 1);
}

// Ways an output can name an input.
enum class Alias { SamePath, SymbolicLink, HardLink, SpeltOtherwise };
const std::map<Alias, const char*> kAliases = {{Alias::SamePath, "the same path"},
                                               {Alias::SymbolicLink, "a symbolic link"},
                                               {Alias::HardLink, "a hard link"},
                                               {Alias::SpeltOtherwise, "a path spelt otherwise"}};

fs::path Aim(const TempDir& dir, const std::string& input, Alias alias) {
    const fs::path target = dir.Path(input);
    switch (alias) {
        case Alias::SamePath:
            return target;
        case Alias::SymbolicLink:
            fs::create_symlink(target, dir.Path("link-" + input));
            return dir.Path("link-" + input);
        case Alias::HardLink:
            fs::create_hard_link(target, dir.Path("hard-" + input));
            return dir.Path("hard-" + input);
        case Alias::SpeltOtherwise:
            fs::create_directories(dir.Path("sub"));
            return dir.Path("sub") / ".." / input;
    }
    return target;
}

std::set<std::string> ListedCommands() {
    const ToolRun help = RunTool({"help"});
    std::istringstream lines(help.out);
    std::set<std::string> names;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  ", 0) != 0)
            continue;
        std::istringstream words(line);
        std::string name;
        words >> name;
        if (name != "help")
            names.insert(name);
    }
    return names;
}

TEST(OutputIsInput, EveryListedCommandHasAForm) {
    const std::set<std::string> listed = ListedCommands();
    ASSERT_FALSE(listed.empty());
    std::set<std::string> covered;
    for (const Form& form : kForms)
        covered.insert(form.command);
    for (const std::string& name : listed)
        EXPECT_TRUE(covered.count(name) == 1) << "no form for `tarvex " << name << "`";
}

// Each output of each form aimed at each of its inputs, each way: refused before anything is
// written, and the input keeps its bytes.
TEST(OutputIsInput, EveryOutputAimedAtEveryInputIsRefused) {
    int runs = 0;
    for (const Form& form : kForms) {
        for (std::size_t o = 0; o < form.words.size(); ++o) {
            if (NameIn(form.words[o], "out").empty())
                continue;
            for (const std::string& aimed : form.words) {
                const std::string input = NameIn(aimed, "in");
                if (input.empty())
                    continue;
                for (const auto& [alias, how] : kAliases) {
                    TempDir dir;
                    std::vector<std::string> args;
                    for (std::size_t w = 0; w < form.words.size(); ++w) {
                        const std::string& word = form.words[w];
                        if (w == o) {
                            args.emplace_back();
                        } else if (const std::string in = NameIn(word, "in"); !in.empty()) {
                            args.push_back(dir.Write(in, Content(in)));
                        } else if (const std::string out = NameIn(word, "out"); !out.empty()) {
                            args.push_back(dir.Path(out).string());
                        } else {
                            args.push_back(word);
                        }
                    }
                    // The aimed-at input exists before the alias is made.
                    dir.Write(input, Content(input));
                    args[o] = Aim(dir, input, alias).string();
                    const ToolRun run = RunTool(args);
                    ++runs;
                    const std::string context = form.words[0] + " " + form.words[1] + ": " +
                                                form.words[o] + " at " + input + " through " + how;
                    EXPECT_EQ(run.status, 64) << context << "\n" << run.out << run.err;
                    EXPECT_NE(run.err.find("输出文件与输入文件相同：" + args[o]), std::string::npos)
                        << context << "\n"
                        << run.out << run.err;
                    EXPECT_EQ(ReadBytes(dir.Path(input)), Content(input)) << context;
                }
            }
        }
    }
    EXPECT_GE(runs, 36);
}

}  // namespace
