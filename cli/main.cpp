// tarvex: the compiler and the controller link from the command line.
#include <algorithm>
#include <array>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/CommandWords.h"
#include "common/FileIo.h"
#include "common/Language.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

constexpr std::array kCommands = {
    &cli::kCompileCommand,   &cli::kCheckCommand,    &cli::kDisasmCommand, &cli::kEmulateCommand,
    &cli::kRegistersCommand, &cli::kDownloadCommand, &cli::kPortsCommand,  &cli::kScreenCommand,
    &cli::kJobCommand,       &cli::kLedgerCommand,   &cli::kLspCommand,    &cli::kSyntaxCommand,
    &cli::kTraceCommand,
};

// Before the command's name only these; everything after it belongs to the command.
constexpr cli::OptionRule kOptions[] = {{"--version", "", false}};

const cli::Command* FindCommand(std::string_view name) {
    for (const cli::Command* command : kCommands) {
        if (command->name == name)
            return command;
    }
    return nullptr;
}

void PrintUsage(std::ostream& stream) {
    stream << msg::Source(msg::Id::CliUsage);
    for (const cli::Command* command : kCommands)
        stream << "  " << msg::Source(command->synopsis) << "\n";
    stream << "  " << msg::Source(msg::Id::CliHelpSynopsis) << "\n"
           << msg::Source(msg::Id::CliUsageEnd);
}

int UnknownCommand(std::string_view name) {
    std::cerr << msg::Text(msg::Id::CliUnknownCommand, {name}) << "\n";
    PrintUsage(std::cerr);
    return cli::exitcode::kUsage;
}

int Help(cli::Args args) {
    if (args.empty()) {
        PrintUsage(std::cout);
        return cli::exitcode::kOk;
    }
    if (const cli::Command* command = FindCommand(args.front()); command != nullptr) {
        std::cout << msg::Source(command->help);
        return cli::exitcode::kOk;
    }
    return UnknownCommand(args.front());
}

int Run(cli::Args words) {
    const cli::ParsedArgs parsed =
        cli::ParseArguments(words, kOptions, cli::LaterWords::ArePositional);
    if (!parsed.error.empty())
        return UnknownCommand(parsed.faultWord);
    const std::vector<std::string_view> positional(parsed.positional.begin(),
                                                   parsed.positional.end());
    if (parsed.help)
        return Help(positional);
    if (parsed.Has("--version")) {
        std::cout << msg::Text(msg::Id::CliVersion, {TARVEX_VERSION}) << "\n";
        return cli::exitcode::kOk;
    }
    if (positional.empty()) {
        PrintUsage(std::cerr);
        return cli::exitcode::kUsage;
    }
    const cli::Args rest = cli::Args(positional).subspan(1);
    if (positional.front() == "help")
        return Help(rest);
    const cli::Command* command = FindCommand(positional.front());
    if (command == nullptr)
        return UnknownCommand(positional.front());
    return cli::RunCommand(*command, rest, std::cout, std::cerr);
}

#ifdef _WIN32
// A console shows the UTF-8 messages as Chinese while the tool runs; the console gets its own
// code page back afterwards.
struct Utf8Console {
    UINT previous = GetConsoleOutputCP();
    Utf8Console() { SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console() {
        if (previous != 0)
            SetConsoleOutputCP(previous);
    }
};
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Line ends are written as given, as on Linux: disasm output keeps its CR LF unchanged.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const Utf8Console console;
#endif
    const std::vector<std::string> typed = text::CommandWords(argc, argv);
    const std::vector<std::string_view> words(
        typed.begin() + std::min<std::size_t>(typed.size(), 1), typed.end());
    fileio::RemoveTemporariesOnSignals();
    // Messages and help follow TARVEX_LANG, else the locale; the texts stay Chinese when the
    // English ones cannot be loaded.
    msg::UseLanguage(msg::ChooseLanguage(msg::LanguageOverride(), {}, msg::ProcessLocaleName()));
    const int status = Run(words);
    // A full disk behind a redirection must not pass for a complete listing.
    if (!std::cout.flush()) {
        std::cerr << msg::Source(msg::Id::CliCannotWriteStdout) << "\n";
        return status == cli::exitcode::kOk ? cli::exitcode::kOutputFailed : status;
    }
    return status;
}
