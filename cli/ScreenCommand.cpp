#include <ostream>
#include <string>

#include <QCoreApplication>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "link/DownloadMessages.h"
#include "link/ScratchPath.h"
#include "link/ScreenImage.h"

namespace cli {
namespace {

constexpr int kRefused = 1;

constexpr OptionSpec kOptions[] = {{"--output", "-o", true}};

constexpr std::string_view kHelp =
    "usage: tarvex screen BITMAP.bmp [-o DATA.dat]\n"
    "\n"
    "Checks a 64 x 128 one-bit bitmap as the screen download does and writes its 1024\n"
    "bytes of screen data to DATA.dat (default: dat01.dat in the application data\n"
    "folder, the file the screen download sends). Prints the message of a failed check.\n"
    "\n"
    "exit status: 0 converted, 1 the bitmap failed a check, 3 the data file could not be\n"
    "written, 4 the bitmap could not be read, 64 bad command line.\n";

std::string DefaultOutput() {
    static int argc = 1;
    static char name[] = "tarvex";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        static QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tarvex620B"));
    }
    return ctrl::DefaultScratchPath().toStdString();
}

}  // namespace

int RunScreen(Args words, std::ostream& out, std::ostream& err) {
    const ParsedArgs args = ParseArguments(words, kOptions);
    if (args.help) {
        out << kHelp;
        return exitcode::kOk;
    }
    if (!args.error.empty() || args.positional.size() != 1) {
        err << "tarvex screen: " << (args.error.empty() ? "expected one bitmap" : args.error)
            << "\n"
            << kHelp;
        return exitcode::kUsage;
    }
    const std::string& bitmap = args.positional.front();
    std::string head;
    if (!screen::ReadBitmapHead(bitmap, head)) {
        out << ctrl::CannotOpenMessage(bitmap) << "\n";
        return exitcode::kUnreadable;
    }
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk) {
        out << screen::CheckMessage(check) << "\n";
        return kRefused;
    }
    const std::string output = args.Value("--output").value_or(DefaultOutput());
    if (screen::ConvertScreenBitmap(head, output)) {
        out << screen::ScratchFailedMessage(output) << "\n";
        return exitcode::kCannotCreate;
    }
    return exitcode::kOk;
}

const Command kScreenCommand{
    "screen", "screen BITMAP.bmp [-o DATA.dat]       convert a bitmap to screen data", kHelp,
    RunScreen};

}  // namespace cli
