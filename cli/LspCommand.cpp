#include <ostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "lsp/LanguageServer.h"

namespace cli {
namespace {

constexpr Grammar kGrammar{{}, 0, msg::Id::CliLspSynopsis};

// What standard input has now, at most `size` bytes; 0 at its end. Returns as soon as anything
// arrived, so a message is answered without waiting for more.
long ReadSome(char* buffer, unsigned size) {
#ifdef _WIN32
    return _read(0, buffer, size);
#else
    return static_cast<long>(::read(0, buffer, size));
#endif
}

int Lsp(const ParsedArgs&, std::ostream& out, std::ostream&) {
    lsp::LanguageServer server;
    lsp::MessageReader reader;
    static char buffer[64 * 1024];
    for (;;) {
        const long n = ReadSome(buffer, sizeof buffer);
        if (n <= 0)
            return server.ExitCode();  // input ended without exit
        reader.Feed(QByteArrayView(buffer, n));
        while (const auto incoming = reader.Next()) {
            for (const QJsonObject& answer : server.Handle(*incoming))
                out << lsp::Frame(answer).toStdString();
            if (!out.flush())
                return exitcode::kOutputFailed;
            if (server.Exited())
                return server.ExitCode();
        }
    }
}

}  // namespace

const Command kLspCommand{"lsp", msg::Id::CliLspSynopsis, msg::Id::CliLspHelp, kGrammar, Lsp};

}  // namespace cli
