#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <QImage>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileIo.h"
#include "common/Utf8Path.h"
#include "downloads/DownloadMessages.h"
#include "downloads/ScratchPath.h"
#include "screen/PictureImport.h"
#include "screen/ScreenImage.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {
    {"--output", "-o", true},  {"--rotate", "", true}, {"--invert", "", false},
    {"--threshold", "", true}, {"--dither", "", true}, {"--fit", "", true},
};
// The first word may be an action, so the command counts its words itself.
constexpr Grammar kGrammar{kOptions, -1, msg::Id::CliScreenExpectsOneBitmap};

// The options only the import reads.
constexpr std::string_view kImportOptions[] = {"--rotate", "--invert", "--threshold", "--dither",
                                               "--fit"};

template <typename Value>
struct Named {
    std::string_view word;
    Value value;
};

constexpr Named<screen::Rotation> kRotations[] = {{"left", screen::Rotation::Left},
                                                  {"right", screen::Rotation::Right}};
constexpr Named<screen::Dither> kDithers[] = {{"none", screen::Dither::None},
                                              {"ordered", screen::Dither::Ordered},
                                              {"fs", screen::Dither::FloydSteinberg}};
constexpr Named<screen::Fit> kFits[] = {
    {"scale", screen::Fit::Scale}, {"crop", screen::Fit::Crop}, {"pad", screen::Fit::Pad}};

int Fault(std::ostream& err, msg::Id problem, std::string_view word = {}) {
    return Usage(kScreenCommand, msg::Text(problem, {word}), err);
}

// Sets `value` from the option's word when given; false (and the usage shown) for a word not
// in `names`.
template <typename Value, std::size_t N>
bool Choose(const ParsedArgs& args, std::string_view option, const Named<Value> (&names)[N],
            msg::Id fault, Value& value, std::ostream& err) {
    const std::optional<std::string> word = args.Value(option);
    if (!word)
        return true;
    for (const Named<Value>& name : names) {
        if (name.word == *word) {
            value = name.value;
            return true;
        }
    }
    Fault(err, fault, *word);
    return false;
}

std::optional<screen::ImportOptions> OptionsOf(const ParsedArgs& args, std::ostream& err) {
    screen::ImportOptions options;
    options.invert = args.Has("--invert");
    if (!Choose(args, "--rotate", kRotations, msg::Id::CliScreenBadRotate, options.rotation, err) ||
        !Choose(args, "--dither", kDithers, msg::Id::CliScreenBadDither, options.dither, err) ||
        !Choose(args, "--fit", kFits, msg::Id::CliScreenBadFit, options.fit, err))
        return std::nullopt;
    if (const std::optional<std::string> word = args.Value("--threshold")) {
        int n = -1;
        const auto [end, ec] = std::from_chars(word->data(), word->data() + word->size(), n);
        if (ec != std::errc() || end != word->data() + word->size() || n < 0 || n > 255) {
            Fault(err, msg::Id::CliScreenBadThreshold, *word);
            return std::nullopt;
        }
        options.threshold = n;
    }
    return options;
}

std::string Refusal(int check) {
    return msg::Text(msg::Id::ScreenCheckRefused, {screen::CheckMessage(check)});
}

int Import(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> output = args.Value("--output");
    if (args.positional.size() != 2 || !output)
        return Fault(err, msg::Id::CliScreenImportTakes);
    const std::optional<screen::ImportOptions> options = OptionsOf(args, err);
    if (!options)
        return exitcode::kUsage;
    const std::string& picture = args.positional[1];
    EnsureApplication();
    const QImage image = screen::LoadPicture(fileio::PathFromUtf8(picture));
    if (image.isNull())
        return Report(out, screen::PictureRefusal(fileio::PathFromUtf8(picture), picture),
                      exitcode::kUnreadable);
    if (screen::SaveScreenBitmap(fileio::PathFromUtf8(*output),
                                 screen::ImportPicture(image, *options)))
        return Report(out, screen::ScratchFailedMessage(*output), exitcode::kCannotCreate);
    return exitcode::kOk;
}

int Preview(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    if (args.positional.size() != 2 || args.Has("--output"))
        return Fault(err, msg::Id::CliScreenPreviewTakes);
    const std::string& file = args.positional[1];
    const screen::ScreenRead read = screen::ReadScreenPicture(fileio::PathFromUtf8(file));
    if (!read.opened)
        return Report(out, ctrl::CannotOpenMessage(file), exitcode::kUnreadable);
    if (read.check != screen::kBitmapOk)
        return Report(out, Refusal(read.check), exitcode::kRefused);
    out << screen::TextPreview(read.rows);
    return exitcode::kOk;
}

int Convert(const ParsedArgs& args, std::ostream& out) {
    const std::string& bitmap = args.positional.front();
    EnsureApplication();
    const std::string output =
        args.Value("--output").value_or(ctrl::DefaultScratchPath().toStdString());
    std::string head;
    if (!screen::ReadBitmapHead(fileio::PathFromUtf8(bitmap), head))
        return Report(out, ctrl::CannotOpenMessage(bitmap), exitcode::kUnreadable);
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk)
        return Report(out, Refusal(check), exitcode::kRefused);
    if (screen::ConvertScreenBitmap(head, fileio::PathFromUtf8(output)))
        return Report(out, screen::ScratchFailedMessage(output), exitcode::kCannotCreate);
    return exitcode::kOk;
}

int Screen(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::size_t words = args.positional.size();
    if (words >= 2 && args.positional.front() == "import")
        return Import(args, out, err);
    if (words >= 2 && args.positional.front() == "preview")
        return Preview(args, out, err);
    if (words != 1)
        return Fault(err, msg::Id::CliScreenExpectsOneBitmap);
    for (const std::string_view option : kImportOptions) {
        if (args.Has(option))
            return Fault(err, msg::Id::CliScreenImportOption, option);
    }
    return Convert(args, out);
}

fileio::FileRoles Files(const ParsedArgs& args) {
    const std::vector<std::string>& words = args.positional;
    const bool action = words.size() >= 2 && (words[0] == "import" || words[0] == "preview");
    fileio::FileRoles roles;
    if (words.empty())
        return roles;
    roles.In(action ? words[1] : words[0]);
    if (const auto output = args.Value("--output")) {
        roles.Out(*output);
    } else if (!action) {
        EnsureApplication();
        roles.Out(ctrl::DefaultScratchPath().toStdString());
    }
    return roles;
}

}  // namespace

const Command kScreenCommand{
    "screen", msg::Id::CliScreenSynopsis, msg::Id::CliScreenHelpAll, kGrammar, Screen, Files};

}  // namespace cli
