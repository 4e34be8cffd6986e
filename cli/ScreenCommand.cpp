#include <ostream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileIo.h"
#include "link/DownloadMessages.h"
#include "link/ScratchPath.h"
#include "link/ScreenImage.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {{"--output", "-o", true}};
constexpr Grammar kGrammar{kOptions, 1, msg::Id::CliScreenExpectsOneBitmap};

int Screen(const ParsedArgs& args, std::ostream& out, std::ostream& /*err*/) {
    const std::string& bitmap = args.positional.front();
    EnsureApplication();
    const std::string output =
        args.Value("--output").value_or(ctrl::DefaultScratchPath().toStdString());
    if (fileio::SameFile(bitmap, output))
        return Report(out, msg::Text(msg::Id::OutputIsInput, {output}), exitcode::kUsage);
    std::string head;
    if (!screen::ReadBitmapHead(bitmap, head))
        return Report(out, ctrl::CannotOpenMessage(bitmap), exitcode::kUnreadable);
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk)
        return Report(out, screen::CheckMessage(check), exitcode::kRefused);
    if (screen::ConvertScreenBitmap(head, output))
        return Report(out, screen::ScratchFailedMessage(output), exitcode::kCannotCreate);
    return exitcode::kOk;
}

}  // namespace

const Command kScreenCommand{"screen", msg::Id::CliScreenSynopsis, msg::Id::CliScreenHelp, kGrammar,
                             Screen};

}  // namespace cli
