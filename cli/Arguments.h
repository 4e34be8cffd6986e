#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"

namespace cli {

struct OptionSpec {
    std::string_view name;   // the long form, "--output"; the key in ParsedArgs::values
    std::string_view alias;  // a short form, "-o", or empty
    bool takesValue = true;
};

struct ParsedArgs {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> values;  // also flags, with an empty value
    bool help = false;                                       // -h or --help was given
    std::string error;                                       // empty when the words made sense

    std::optional<std::string> Value(std::string_view name) const;
    bool Has(std::string_view name) const { return values.find(name) != values.end(); }
};

// Reads options ("--name VALUE", "--name=VALUE", "-o VALUE") and positional words; "--" ends the
// options. An unknown option or a missing value sets `error`.
ParsedArgs ParseArguments(Args args, std::span<const OptionSpec> specs);

}  // namespace cli
