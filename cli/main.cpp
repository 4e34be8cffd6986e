// tarvex: the compiler and the controller link from the command line.
#include <array>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "cli/ExitCodes.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr std::array<const cli::Command*, 6> kCommands = {
    &cli::kCompileCommand,   &cli::kDisasmCommand,   &cli::kEmulateCommand,
    &cli::kRegistersCommand, &cli::kDownloadCommand, &cli::kScreenCommand};

const cli::Command* FindCommand(std::string_view name) {
    for (const cli::Command* command : kCommands) {
        if (command->name == name)
            return command;
    }
    return nullptr;
}

void PrintUsage(std::ostream& stream) {
    stream << "usage: tarvex COMMAND [ARGS...]\n\ncommands:\n";
    for (const cli::Command* command : kCommands)
        stream << "  " << command->synopsis << "\n";
    stream << "  help [COMMAND]                        show this text or a command's help\n"
              "\nMessages are printed in UTF-8. `tarvex help COMMAND` lists its exit status;\n"
              "any command exits 74 when what it printed could not be written.\n";
}

int Help(std::span<const std::string_view> args) {
    if (args.empty()) {
        PrintUsage(std::cout);
        return cli::exitcode::kOk;
    }
    if (const cli::Command* command = FindCommand(args.front()); command != nullptr) {
        std::cout << command->help;
        return cli::exitcode::kOk;
    }
    std::cerr << "tarvex: unknown command " << args.front() << "\n";
    PrintUsage(std::cerr);
    return cli::exitcode::kUsage;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Line ends are written as given: disasm output must keep its CR LF unchanged.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::vector<std::string_view> words(argv + std::min(argc, 1), argv + argc);
    if (words.empty()) {
        PrintUsage(std::cerr);
        return cli::exitcode::kUsage;
    }
    const std::string_view name = words.front();
    const std::span<const std::string_view> rest(words.begin() + 1, words.end());
    if (name == "help" || name == "--help" || name == "-h")
        return Help(rest);

    const cli::Command* command = FindCommand(name);
    if (command == nullptr) {
        std::cerr << "tarvex: unknown command " << name << "\n";
        PrintUsage(std::cerr);
        return cli::exitcode::kUsage;
    }
    const int status = command->run(rest, std::cout, std::cerr);
    // A full disk behind a redirection must not pass for a complete listing.
    if (!std::cout.flush()) {
        std::cerr << "tarvex: cannot write standard output\n";
        return status == cli::exitcode::kOk ? cli::exitcode::kOutputFailed : status;
    }
    return status;
}
