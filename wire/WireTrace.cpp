#include "wire/WireTrace.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <limits>

#include "link/TransferProfile.h"

namespace wire {

namespace {

constexpr const ctrl::TransferProfile* kProfiles[] = {
    &ctrl::kProgramProfile, &ctrl::kParameterProfile, &ctrl::kScreenProfile};

constexpr std::string_view kWords[] = {
    "",    "handshake",   "start",          "header",   "data",
    "end", "acknowledge", "resend request", "farewell", "unexpected",
};

bool OpensFrame(std::uint8_t byte) {
    return std::any_of(std::begin(kProfiles), std::end(kProfiles), [byte](const auto* p) {
        return p->headerByte == byte || p->dataByte == byte;
    });
}

Meaning SingleByte(std::uint8_t byte) {
    if (byte == ctrl::kHandshakeByte)
        return Meaning::Handshake;
    if (byte == ctrl::kFarewellByte)
        return Meaning::Farewell;
    for (const auto* p : kProfiles) {
        if (p->startByte == byte)
            return Meaning::Start;
        if (p->endByte == byte)
            return Meaning::End;
    }
    return Meaning::Unexpected;
}

Meaning FrameMeaning(const std::vector<std::uint8_t>& unit) {
    if (unit.size() != FrameSplitter::kFrameBytes)
        return Meaning::Unexpected;
    for (const auto* p : kProfiles) {
        if (p->headerByte == unit.front())
            return Meaning::Header;
        if (p->dataByte == unit.front())
            return Meaning::Data;
    }
    return Meaning::Unexpected;
}

bool TakeNumber(std::string_view& text, std::size_t digits, std::int64_t& value) {
    const std::size_t n = digits == 0 ? text.find_first_not_of("0123456789") : digits;
    const std::size_t length = std::min(n, text.size());
    if (length == 0 || (digits != 0 && length != digits))
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + length, value);
    if (ec != std::errc() || end != text.data() + length)
        return false;
    text.remove_prefix(length);
    return true;
}

bool TakeText(std::string_view& text, std::string_view expected) {
    if (text.substr(0, expected.size()) != expected)
        return false;
    text.remove_prefix(expected.size());
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string_view MeaningWord(Meaning meaning) {
    return kWords[static_cast<std::size_t>(meaning)];
}

std::string Format(const Line& line) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "+%04lld.%03lld %s", static_cast<long long>(line.ms / 1000),
                  static_cast<long long>(line.ms % 1000),
                  line.direction == Direction::Tx ? "TX" : "RX");
    std::string text = stamp;
    text.reserve(text.size() + 3 * line.bytes.size() + 20);
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const std::uint8_t b : line.bytes) {
        text += ' ';
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    if (line.meaning != Meaning::None) {
        text += "  ";
        text += MeaningWord(line.meaning);
    }
    return text;
}

std::optional<Line> Parse(std::string_view text) {
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    Line line;
    std::int64_t seconds = 0;
    std::int64_t millis = 0;
    if (!TakeText(text, "+") || !TakeNumber(text, 0, seconds) || !TakeText(text, ".") ||
        !TakeNumber(text, 3, millis))
        return std::nullopt;
    // More seconds than milliseconds can count is no time a recorder wrote.
    if (seconds > (std::numeric_limits<std::int64_t>::max() - 999) / 1000)
        return std::nullopt;
    line.ms = seconds * 1000 + millis;
    if (TakeText(text, " TX")) {
        line.direction = Direction::Tx;
    } else if (TakeText(text, " RX")) {
        line.direction = Direction::Rx;
    } else {
        return std::nullopt;
    }
    while (text.size() >= 3 && text[0] == ' ' && text[1] != ' ') {
        const int high = HexDigit(text[1]);
        const int low = HexDigit(text[2]);
        if (high < 0 || low < 0 || (text.size() > 3 && text[3] != ' '))
            return std::nullopt;
        line.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        text.remove_prefix(3);
    }
    if (line.bytes.empty())
        return std::nullopt;
    if (text.empty())
        return line;
    if (!TakeText(text, "  "))
        return std::nullopt;
    const auto word = std::find(std::begin(kWords) + 1, std::end(kWords), text);
    if (word == std::end(kWords))
        return std::nullopt;
    line.meaning = static_cast<Meaning>(word - std::begin(kWords));
    return line;
}

bool FrameSplitter::Take(std::uint8_t byte) {
    if (!inFrame) {
        unit.clear();
        unit.push_back(byte);
        inFrame = OpensFrame(byte);
        return !inFrame;
    }
    unit.push_back(byte);
    if (unit.size() < kFrameBytes)
        return false;
    inFrame = false;
    return true;
}

bool FrameSplitter::Cut() {
    if (!inFrame)
        return false;
    inFrame = false;
    return true;
}

Meaning Classifier::Sent(const std::vector<std::uint8_t>& unit) {
    const Meaning meaning = unit.size() == 1 ? SingleByte(unit.front()) : FrameMeaning(unit);
    const bool answered = meaning == Meaning::Handshake || meaning == Meaning::Start ||
                          meaning == Meaning::Header || meaning == Meaning::Data;
    acknowledge = answered ? unit.front() : -1;
    // After a start the controller may already ask for the header it has not yet had.
    mayAskResend =
        meaning == Meaning::Start || meaning == Meaning::Header || meaning == Meaning::Data;
    return meaning;
}

Meaning Classifier::Received(std::uint8_t byte) const {
    if (acknowledge >= 0 && byte == acknowledge)
        return byte == ctrl::kHandshakeByte ? Meaning::Handshake : Meaning::Acknowledge;
    if (mayAskResend && byte == ctrl::kResendRequest)
        return Meaning::ResendRequest;
    return Meaning::Unexpected;
}

Recorder::Recorder(Clock clock) : clock(std::move(clock)) {
    if (!this->clock) {
        const auto start = std::chrono::steady_clock::now();
        this->clock = [start] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start)
                .count();
        };
    }
}

void Recorder::Sent(const std::uint8_t* bytes, int count) {
    for (int i = 0; i < count; ++i) {
        if (!splitter.InFrame())
            frameStartMs = clock();
        if (splitter.Take(bytes[i])) {
            const Meaning meaning = classifier.Sent(splitter.Unit());
            Add({frameStartMs, Direction::Tx, splitter.Unit(), meaning});
        }
    }
}

void Recorder::Received(const std::uint8_t* bytes, int count) {
    if (count <= 0)
        return;
    Flush();
    Line line{clock(), Direction::Rx, std::vector<std::uint8_t>(bytes, bytes + count),
              Meaning::None};
    // A read of several bytes means one thing only when every byte means it.
    line.meaning = classifier.Received(bytes[0]);
    for (int i = 1; i < count; ++i) {
        if (classifier.Received(bytes[i]) != line.meaning)
            line.meaning = Meaning::Unexpected;
    }
    Add(std::move(line));
}

void Recorder::Flush() {
    if (splitter.Cut())
        Add({frameStartMs, Direction::Tx, splitter.Unit(), classifier.Sent(splitter.Unit())});
}

std::string Recorder::Text() const {
    std::string text;
    text.reserve(lines.size() * 64);
    for (const Line& line : lines) {
        text += Format(line);
        text += '\n';
    }
    return text;
}

void Recorder::Clear() {
    lines.clear();
    dropped = 0;
}

void Recorder::Add(Line line) {
    if (lines.size() == kCapacity) {
        lines.pop_front();
        ++dropped;
    }
    lines.push_back(std::move(line));
    if (onLine)
        onLine(lines.back());
}

}  // namespace wire
