#include "wire/WireExport.h"

#include <optional>

namespace wire {
namespace {

constexpr std::uint32_t kPcapMagic = 0xA1B2C3D4;  // microsecond timestamps
constexpr std::uint16_t kPcapMajor = 2;
constexpr std::uint16_t kPcapMinor = 4;
constexpr std::uint32_t kSnapLength = 65535;
constexpr std::string_view kCsvHeader = "time_ms,delta_ms,direction,bytes,meaning,latency_ms\r\n";

void Put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (!text.empty())
            text += ' ';
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

bool EndsWith(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size())
        return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c =
            tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
        if (c != extension[i])
            return false;
    }
    return true;
}

bool IsAnswer(const Line& line) {
    return line.direction == Direction::Rx &&
           (line.meaning == Meaning::Handshake || line.meaning == Meaning::Acknowledge ||
            line.meaning == Meaning::ResendRequest);
}

}  // namespace

TraceReading ReadTrace(std::string_view text) {
    TraceReading reading;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        if (auto parsed = Parse(line))
            reading.lines.push_back(std::move(*parsed));
        else
            reading.faultyLines.push_back(number);
    }
    return reading;
}

std::string ToPcap(const std::vector<Line>& lines) {
    std::string out;
    Put32(out, kPcapMagic);
    Put16(out, kPcapMajor);
    Put16(out, kPcapMinor);
    Put32(out, 0);  // time zone
    Put32(out, 0);  // accuracy
    Put32(out, kSnapLength);
    Put32(out, kPcapLinkType);
    for (const Line& line : lines) {
        const auto size = static_cast<std::uint32_t>(kPseudoHeaderBytes + line.bytes.size());
        Put32(out, static_cast<std::uint32_t>(line.ms / 1000));
        Put32(out, static_cast<std::uint32_t>(line.ms % 1000 * 1000));
        Put32(out, size);
        Put32(out, size);
        out += static_cast<char>(line.direction == Direction::Tx ? 0 : 1);
        out += static_cast<char>(line.meaning);
        out.append(line.bytes.begin(), line.bytes.end());
    }
    return out;
}

std::string ToCsv(const std::vector<Line>& lines) {
    std::string out(kCsvHeader);
    std::optional<std::int64_t> previous;
    std::optional<std::int64_t> lastSent;
    for (const Line& line : lines) {
        out += std::to_string(line.ms) + ',';
        out += (previous ? std::to_string(line.ms - *previous) : std::string()) + ',';
        out += line.direction == Direction::Tx ? "TX," : "RX,";
        out += HexBytes(line.bytes) + ',';
        out += std::string(MeaningWord(line.meaning)) + ',';
        if (IsAnswer(line) && lastSent)
            out += std::to_string(line.ms - *lastSent);
        out += "\r\n";
        previous = line.ms;
        if (line.direction == Direction::Tx)
            lastSent = line.ms;
    }
    return out;
}

std::string ExportForFile(std::string_view fileName, const std::vector<Line>& lines) {
    if (EndsWith(fileName, ".pcap"))
        return ToPcap(lines);
    if (EndsWith(fileName, ".csv"))
        return ToCsv(lines);
    std::string text;
    for (const Line& line : lines)
        text += Format(line) + "\n";
    return text;
}

}  // namespace wire
