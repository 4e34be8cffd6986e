#include "cli/CommandLine.h"

#include <algorithm>
#include <ostream>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/EncodingGuess.h"
#include "common/FileIo.h"
#include "common/Utf8Path.h"

namespace cli {
namespace {

// Latin-1 maps every byte to one character and back, so paths in any encoding pass unchanged.
QString Chars(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Bytes(const QString& chars) {
    return chars.toLatin1().toStdString();
}

// The option name in a word: "--output=x" and "-output" both name "output".
std::string_view NameIn(std::string_view word) {
    word.remove_prefix(std::min(word.find_first_not_of('-'), word.size()));
    return word.substr(0, word.find('='));
}

std::string_view WordBeforeValue(std::string_view word) {
    return word.substr(0, word.find('='));
}

bool IsOptionWord(std::string_view word) {
    return word.size() > 1 && word.front() == '-' && word != "--";
}

// The first option word (before "--") whose name satisfies `wanted`.
template <typename Wanted>
std::optional<std::string_view> FirstOptionWord(Args args, Wanted wanted) {
    for (const std::string_view word : args) {
        if (word == "--")
            break;
        if (IsOptionWord(word) && wanted(word))
            return word;
    }
    return std::nullopt;
}

struct Registered {
    const OptionRule* rule;  // null for the help option
    QCommandLineOption option;
};

// QCommandLineParser says what went wrong only in English prose; the fault is told again here in
// the words the tool has always used.
void NameFault(const QCommandLineParser& parser, Args args, const std::vector<Registered>& options,
               ParsedArgs& parsed) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const std::string name = Bytes(unknown.front());
        const auto word =
            FirstOptionWord(args, [&](std::string_view w) { return NameIn(w) == name; });
        parsed.faultWord = word ? std::string(WordBeforeValue(*word)) : "--" + name;
        parsed.error = msg::Text(msg::Id::CliUnknownOption, {parsed.faultWord});
        return;
    }
    const QStringList found = parser.optionNames();
    for (const Registered& r : options) {
        if (r.rule == nullptr || !r.rule->takesValue)
            continue;
        const auto given = std::count_if(found.begin(), found.end(), [&](const QString& name) {
            return r.option.names().contains(name);
        });
        // Only the last word can lack its value.
        if (given > parser.values(r.option).size() && !args.empty()) {
            parsed.faultWord = std::string(args.back());
            parsed.error = msg::Text(msg::Id::CliOptionNeedsValue, {parsed.faultWord});
            return;
        }
    }
    // What is left: a flag given a value.
    const auto isFlag = [&options](std::string_view name) {
        return std::any_of(options.begin(), options.end(), [&](const Registered& r) {
            return (r.rule == nullptr || !r.rule->takesValue) &&
                   r.option.names().contains(Chars(name));
        });
    };
    const auto word = FirstOptionWord(args, [&](std::string_view w) {
        return w.find('=') != std::string_view::npos && isFlag(NameIn(w));
    });
    parsed.faultWord = std::string(WordBeforeValue(word.value_or("--")));
    parsed.error = msg::Text(msg::Id::CliOptionTakesNoValue, {parsed.faultWord});
}

std::string_view Bare(std::string_view name) {
    return name.substr(std::min(name.find_first_not_of('-'), name.size()));
}

}  // namespace

std::optional<std::string> OutputOverInput(const Command& command, const ParsedArgs& words) {
    if (command.files == nullptr)
        return std::nullopt;
    const auto clash = fileio::OutputOverInput(command.files(words));
    return clash ? std::optional<std::string>(clash->string()) : std::nullopt;
}

fileio::FileRoles FirstWordIsInput(const ParsedArgs& words) {
    return fileio::FileRoles().In(words.positional.front());
}

std::optional<std::string> ParsedArgs::Value(std::string_view name) const {
    const auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

ParsedArgs ParseArguments(Args args, std::span<const OptionRule> rules, LaterWords later) {
    QCommandLineParser parser;
    // "-abc" is one option named abc, never -a -b -c.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(
        later == LaterWords::ArePositional ? QCommandLineParser::ParseAsPositionalArguments
                                           : QCommandLineParser::ParseAsOptions);
    // Not addHelpOption(): that would also take "-?" and let Qt print and exit by itself.
    std::vector<Registered> options{
        {nullptr, QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")})}};
    for (const OptionRule& rule : rules) {
        QStringList names{Chars(Bare(rule.name))};
        if (!rule.alias.empty())
            names << Chars(Bare(rule.alias));
        QCommandLineOption option(names);
        if (rule.takesValue)
            option.setValueName(QStringLiteral("value"));
        options.push_back({&rule, option});
    }
    for (const Registered& r : options)
        parser.addOption(r.option);

    QStringList words{QStringLiteral("tarvex")};  // parse() skips the program name
    for (const std::string_view word : args)
        words << Chars(word);
    ParsedArgs parsed;
    const bool understood = parser.parse(words);
    for (const QString& word : parser.positionalArguments())
        parsed.positional.push_back(Bytes(word));
    parsed.help = parser.isSet(options.front().option);
    for (const Registered& r : options) {
        if (r.rule != nullptr && parser.isSet(r.option))
            parsed.values[std::string(r.rule->name)] =
                r.rule->takesValue ? Bytes(parser.value(r.option)) : std::string();
        if (r.rule != nullptr && r.rule->takesValue && parser.values(r.option).size() > 1) {
            for (const QString& value : parser.values(r.option))
                parsed.repeated[std::string(r.rule->name)].push_back(Bytes(value));
        }
    }
    if (!understood)
        NameFault(parser, args, options, parsed);
    return parsed;
}

int Usage(const Command& command, std::string_view problem, std::ostream& err) {
    err << msg::Text(msg::Id::CliCommandFault, {command.name, problem}) << "\n"
        << msg::Source(command.help);
    return exitcode::kUsage;
}

int RunCommand(const Command& command, Args args, std::ostream& out, std::ostream& err) {
    const Grammar& grammar = command.grammar;
    const ParsedArgs parsed = ParseArguments(args, grammar.options, grammar.later);
    if (parsed.help) {
        out << msg::Source(command.help);
        return exitcode::kOk;
    }
    if (!parsed.error.empty())
        return Usage(command, parsed.error, err);
    if (grammar.words >= 0 && parsed.positional.size() != static_cast<std::size_t>(grammar.words))
        return Usage(command, msg::Source(grammar.wrongCount), err);
    if (const auto clash = OutputOverInput(command, parsed))
        return Report(err, msg::Text(msg::Id::OutputIsInput, {*clash}), exitcode::kUsage);
    return command.act(parsed, out, err);
}

int Report(std::ostream& out, std::string_view message, int status) {
    out << message << "\n";
    return status;
}

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "tarvex";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        static QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tarvex620B"));
    }
}

std::optional<int> ReadProgramText(const std::string& program, std::string& text,
                                   std::ostream& faults) {
    switch (fileio::ReadLimited(fileio::PathFromUtf8(program), kProgramCapacity, text)) {
        case fileio::ReadStatus::Ok:
            return std::nullopt;
        case fileio::ReadStatus::TooLarge:
            return Report(faults, msg::Text(msg::Id::ProgramTooLarge), exitcode::kUnreadable);
        case fileio::ReadStatus::Unreadable:
            break;
    }
    return Report(faults, msg::Text(msg::Id::CannotReadFile, {program}), exitcode::kUnreadable);
}

void WarnIfNotGbk(const std::string& program, std::string_view text, std::ostream& err) {
    if (encoding::GuessEncoding(text) == encoding::Guess::Utf8)
        err << msg::Text(msg::Id::CliUtf8Warning, {program}) << "\n";
}

}  // namespace cli
