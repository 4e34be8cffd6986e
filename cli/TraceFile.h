#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "wire/WireTrace.h"

class CSerialPort;

namespace cli {

// --trace FILE: every byte of the session, written when the command ends, however it ends: a
// failed transfer is when the trace matters most.
class TraceFile {
public:
    TraceFile(CSerialPort& port, std::optional<std::string> path, std::ostream& err);
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

private:
    CSerialPort& port;
    std::optional<std::string> path;
    std::ostream& err;
    wire::Recorder recorder;
};

}  // namespace cli
