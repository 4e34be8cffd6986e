#include "cli/Arguments.h"

namespace cli {
namespace {

const OptionSpec* FindSpec(std::span<const OptionSpec> specs, std::string_view word) {
    for (const OptionSpec& spec : specs) {
        if (word == spec.name || (!spec.alias.empty() && word == spec.alias))
            return &spec;
    }
    return nullptr;
}

bool LooksLikeOption(std::string_view word) {
    return word.size() > 1 && word.front() == '-';
}

}  // namespace

std::optional<std::string> ParsedArgs::Value(std::string_view name) const {
    const auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

ParsedArgs ParseArguments(Args args, std::span<const OptionSpec> specs) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        std::string_view word = args[i];
        if (optionsEnded || !LooksLikeOption(word)) {
            parsed.positional.emplace_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "-h" || word == "--help") {
            parsed.help = true;
            continue;
        }
        std::optional<std::string_view> inlineValue;
        if (const std::size_t eq = word.find('='); word.starts_with("--") && eq != word.npos) {
            inlineValue = word.substr(eq + 1);
            word = word.substr(0, eq);
        }
        const OptionSpec* spec = FindSpec(specs, word);
        if (spec == nullptr) {
            parsed.error = "unknown option " + std::string(word);
        } else if (!spec->takesValue) {
            if (inlineValue)
                parsed.error = "option " + std::string(word) + " takes no value";
            parsed.values[std::string(spec->name)] = "";
        } else if (inlineValue) {
            parsed.values[std::string(spec->name)] = std::string(*inlineValue);
        } else if (i + 1 < args.size()) {
            parsed.values[std::string(spec->name)] = std::string(args[++i]);
        } else {
            parsed.error = "option " + std::string(word) + " needs a value";
        }
    }
    return parsed;
}

}  // namespace cli
