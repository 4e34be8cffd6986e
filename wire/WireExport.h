#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wire/WireTrace.h"

// A trace for other tools: Wireshark (pcap) and spreadsheets (CSV). Standard library only.
namespace wire {

// pcap's LINKTYPE_USER0. Each packet starts with two pseudo-header bytes: the direction
// (0 host to controller, 1 controller to host) and the trace's meaning (the Meaning values, 0 none,
// 1 handshake ... 9 unexpected); the unit's bytes follow. res/linux/tarvex620b.lua reads them.
constexpr std::uint32_t kPcapLinkType = 147;
constexpr std::size_t kPseudoHeaderBytes = 2;

struct TraceReading {
    std::vector<Line> lines;
    std::vector<std::size_t> faultyLines;  // 1-based numbers of lines that are no trace lines
};

// Every line of a trace text; blank lines are skipped, any other line that Parse refuses is
// listed in faultyLines.
TraceReading ReadTrace(std::string_view text);

// One packet per line, its time the line's time since the session started.
std::string ToPcap(const std::vector<Line>& lines);

// time_ms, delta_ms (since the line before), direction, bytes, meaning, latency_ms (for the
// controller's answers, a handshake, acknowledge or resend request: since the unit it answers,
// the host's last one).
std::string ToCsv(const std::vector<Line>& lines);

// What a file of this name holds: pcap for ".pcap", CSV for ".csv" (any case), the trace's own
// text otherwise; the wire monitor saves by the name chosen.
std::string ExportForFile(std::string_view fileName, const std::vector<Line>& lines);

}  // namespace wire
