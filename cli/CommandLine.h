#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Messages.h"

namespace cli {

// The words after the subcommand's name.
using Args = std::span<const std::string_view>;

struct OptionRule {
    std::string_view name;   // the long form, "--output"; the key in ParsedArgs::values
    std::string_view alias;  // a short form, "-o", or empty
    bool takesValue = true;
};

// Whether an option word after the first positional word is still an option ("FILE --port X")
// or a word like any other (register values such as -3).
enum class LaterWords { MayBeOptions, ArePositional };

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> values;  // also flags, with an empty value
    bool help = false;                                       // -h or --help was given
    std::string error;                                       // empty when the words made sense
    std::string faultWord;                                   // the option word the error is about
    // Every value, in order, of an option given more than once; `values` holds the last.
    std::map<std::string, std::vector<std::string>, std::less<>> repeated;

    std::optional<std::string> Value(std::string_view name) const;
    bool Has(std::string_view name) const { return values.find(name) != values.end(); }
};

// Reads options ("--name VALUE", "--name=VALUE", "-o VALUE"; one dash or two alike) and positional
// words; "--" ends the options. An unknown option or a missing or surplus value sets `error`.
ParsedArgs ParseArguments(Args args, std::span<const OptionRule> rules,
                          LaterWords later = LaterWords::MayBeOptions);

// What a command accepts: its options and, when fixed, how many other words.
struct Grammar {
    std::span<const OptionRule> options;
    int words = -1;                              // -1: any number, the command counts them
    msg::Id wrongCount = msg::Id::UnknownError;  // the usage fault for another number
    LaterWords later = LaterWords::MayBeOptions;
};

// One message line on `out`, and the exit status that goes with it.
int Report(std::ostream& out, std::string_view message, int status);

// The Qt application object the link and the data folder need, made once.
void EnsureApplication();

}  // namespace cli
