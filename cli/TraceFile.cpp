#include "cli/TraceFile.h"

#include <ostream>

#include "common/FileIo.h"
#include "common/Messages.h"
#include "link/SerialPort.h"

namespace cli {

TraceFile::TraceFile(CSerialPort& port, std::optional<std::string> path, std::ostream& err)
    : port(port), path(std::move(path)), err(err) {
    if (this->path) {
        port.tap = [this](bool sent, const std::uint8_t* bytes, int count) {
            if (sent)
                recorder.Sent(bytes, count);
            else
                recorder.Received(bytes, count);
        };
    }
}

TraceFile::~TraceFile() {
    if (!path)
        return;
    port.tap = nullptr;
    recorder.Flush();
    if (const std::error_code error = fileio::WriteSafely(*path, recorder.Text()))
        err << msg::Text(msg::Id::CliTraceNotWritten, {*path, error.message()}) << "\n";
}

}  // namespace cli
