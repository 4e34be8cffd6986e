#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What went over the line to the controller, one line per write or read, so that a failed
// download can be shown to someone else and replayed by the virtual controller. Standard library
// only: the virtual controller reads the same lines.
namespace wire {

enum class Direction { Tx, Rx };

enum class Meaning {
    None,
    Handshake,
    Start,
    Header,
    Data,
    End,
    Acknowledge,
    ResendRequest,
    Farewell,
    Unexpected,
};

struct Line {
    std::int64_t ms = 0;  // since the session started
    Direction direction = Direction::Tx;
    std::vector<std::uint8_t> bytes;
    Meaning meaning = Meaning::None;
};

std::string_view MeaningWord(Meaning meaning);
// "+SSSS.mmm TX|RX HH HH ...", then two spaces and the meaning when there is one.
std::string Format(const Line& line);
// A line as Format writes it; nothing for any other text.
std::optional<Line> Parse(std::string_view text);

// Cuts what the host writes into the units the controller answers: a header or data frame
// (command byte, 16 bytes, trailer) or a single byte.
class FrameSplitter {
public:
    static constexpr std::size_t kFrameBytes = 18;

    // True when `byte` completes a unit, which Unit() then holds until the next Take.
    bool Take(std::uint8_t byte);
    const std::vector<std::uint8_t>& Unit() const { return unit; }
    // A frame begun and not yet complete.
    bool InFrame() const { return inFrame; }
    // Hands out a frame cut short as the unit it is.
    bool Cut();

private:
    std::vector<std::uint8_t> unit;
    bool inFrame = false;
};

// The meaning of each unit sent and each byte read, from what was sent last: an answer that
// echoes the last command acknowledges it, 90 asks for the last frame again.
class Classifier {
public:
    Meaning Sent(const std::vector<std::uint8_t>& unit);
    Meaning Received(std::uint8_t byte) const;

private:
    int acknowledge = -1;  // the answer that acknowledges the last unit sent; -1 for none
    bool mayAskResend = false;
};

// Keeps the last kCapacity lines of a session. Fed from the serial port's tap.
class Recorder {
public:
    static constexpr std::size_t kCapacity = 100'000;
    using Clock = std::function<std::int64_t()>;  // milliseconds since the session started

    // Without a clock the session starts now, on the steady clock.
    explicit Recorder(Clock clock = {});

    void Sent(const std::uint8_t* bytes, int count);
    void Received(const std::uint8_t* bytes, int count);
    // A frame cut short (the line went away in the middle) becomes a line of its own.
    void Flush();

    const std::deque<Line>& Lines() const { return lines; }
    // Every line kept, each ending in a newline.
    std::string Text() const;
    void Clear();
    // Lines pushed out of the ring since the last Clear.
    std::size_t Dropped() const { return dropped; }

    // Told of every new line, after it is kept.
    std::function<void(const Line&)> onLine;

private:
    void Add(Line line);

    Clock clock;
    FrameSplitter splitter;
    Classifier classifier;
    std::int64_t frameStartMs = 0;
    std::deque<Line> lines;
    std::size_t dropped = 0;
};

}  // namespace wire
