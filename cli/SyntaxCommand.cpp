#include <ostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "compiler/SyntaxFiles.h"

namespace cli {
namespace {

struct Kind {
    std::string_view option;
    std::string (*text)();
};

constexpr Kind kKinds[] = {{"--kate", compiler::KateSyntax},
                           {"--vim", compiler::VimSyntax},
                           {"--vim-ftdetect", compiler::VimFileType}};
constexpr OptionRule kOptions[] = {
    {"--kate", "", false}, {"--vim", "", false}, {"--vim-ftdetect", "", false}};
constexpr Grammar kGrammar{kOptions, 0, msg::Id::CliSyntaxExpectsOneKind};

int Syntax(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const Kind* chosen = nullptr;
    for (const Kind& kind : kKinds) {
        if (!parsed.Has(kind.option))
            continue;
        if (chosen != nullptr)
            return Usage(kSyntaxCommand, msg::Source(msg::Id::CliSyntaxExpectsOneKind), err);
        chosen = &kind;
    }
    if (chosen == nullptr)
        return Usage(kSyntaxCommand, msg::Source(msg::Id::CliSyntaxExpectsOneKind), err);
    out << chosen->text();
    return exitcode::kOk;
}

}  // namespace

const Command kSyntaxCommand{"syntax", msg::Id::CliSyntaxSynopsis, msg::Id::CliSyntaxHelp, kGrammar,
                             Syntax};

}  // namespace cli
