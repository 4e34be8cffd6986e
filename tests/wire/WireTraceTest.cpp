#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/WireTrace.h"

namespace {

using wire::Direction;
using wire::Meaning;

std::vector<std::uint8_t> Frame(std::uint8_t command, std::uint8_t fill, std::uint8_t trailer) {
    std::vector<std::uint8_t> frame(18, fill);
    frame.front() = command;
    frame.back() = trailer;
    return frame;
}

TEST(WireTraceFormat, LinesReadBackAsWritten) {
    const struct {
        wire::Line line;
        std::string text;
    } rows[] = {
        {{0, Direction::Tx, {0x01}, Meaning::Handshake}, "+0000.000 TX 01  handshake"},
        {{1234, Direction::Rx, {0x5A}, Meaning::ResendRequest}, "+0001.234 RX 5A  resend request"},
        {{12'345'678, Direction::Rx, {0x07, 0xC8}, Meaning::None}, "+12345.678 RX 07 C8"},
        {{5, Direction::Tx, {0x88}, Meaning::Farewell}, "+0000.005 TX 88  farewell"},
        {{9, Direction::Rx, {0xFF}, Meaning::Unexpected}, "+0000.009 RX FF  unexpected"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wire::Format(row.line), row.text);
        const auto back = wire::Parse(row.text);
        ASSERT_TRUE(back) << row.text;
        EXPECT_EQ(back->ms, row.line.ms) << row.text;
        EXPECT_EQ(back->direction, row.line.direction) << row.text;
        EXPECT_EQ(back->bytes, row.line.bytes) << row.text;
        EXPECT_EQ(back->meaning, row.line.meaning) << row.text;
    }
    // Lower-case hex and a carriage return from another system are read too.
    EXPECT_EQ(wire::Parse("+0000.010 TX 0a 1b\r")->bytes, (std::vector<std::uint8_t>{10, 27}));
}

TEST(WireTraceFormat, TheLatestTimeStillReads) {
    const auto line = wire::Parse("+9223372036854774.999 TX 01");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->ms, 9223372036854774999);
}

TEST(WireTraceFormat, OtherTextIsNoLine) {
    for (const char* text :
         {"", "0000.000 TX 01", "+0000.00 TX 01", "+0000.0000 TX 01", "+0000.000 tx 01",
          "+0000.000 TX", "+0000.000 TX 1", "+0000.000 TX 0G", "+0000.000 TX 011",
          "+0000.000 TX 01 handshake", "+0000.000 TX 01  greeting", "+0000.000 TX 01  ",
          "+x.000 TX 01", "+0000.000 RX  01",
          // Found by the trace reader's fuzz target: seconds whose milliseconds overflow.
          "+9223372036854776.000 TX 01", "+99999999999999999.000 RX 01"}) {
        EXPECT_FALSE(wire::Parse(text)) << text;
    }
}

// The recorder on a clock the test moves: one line per unit written, each byte read a line.
class RecorderTest : public ::testing::Test {
protected:
    void Send(const std::vector<std::uint8_t>& bytes, bool byteByByte = true) {
        if (!byteByByte)
            return recorder.Sent(bytes.data(), static_cast<int>(bytes.size()));
        for (const std::uint8_t b : bytes) {
            recorder.Sent(&b, 1);
            ++now;  // the frame's line carries the time of its first byte
        }
    }
    void Read(std::vector<std::uint8_t> bytes) {
        now += 10;
        recorder.Received(bytes.data(), static_cast<int>(bytes.size()));
    }
    std::int64_t now = 0;
    wire::Recorder recorder{[this] { return now; }};
};

TEST_F(RecorderTest, ASessionReadsAsTheProtocolGoes) {
    Send({1});
    Read({1});
    Send({2});
    Read({90});  // asks for the header it never had
    Send(Frame(18, 0, 85));
    Read({18});
    Send(Frame(3, 0xAA, 85), false);
    Read({90});
    Send(Frame(3, 0xAA, 85));
    Read({7});
    Read({3});
    Read({3});  // a second acknowledgement of the same frame still echoes it
    Send({4});
    Read({4});  // nothing acknowledges the end
    Send({136});
    EXPECT_EQ(recorder.Text(),
              "+0000.000 TX 01  handshake\n"
              "+0000.011 RX 01  handshake\n"
              "+0000.011 TX 02  start\n"
              "+0000.022 RX 5A  resend request\n"
              "+0000.022 TX 12 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 55  header\n"
              "+0000.050 RX 12  acknowledge\n"
              "+0000.050 TX 03 AA AA AA AA AA AA AA AA AA AA AA AA AA AA AA AA 55  data\n"
              "+0000.060 RX 5A  resend request\n"
              "+0000.060 TX 03 AA AA AA AA AA AA AA AA AA AA AA AA AA AA AA AA 55  data\n"
              "+0000.088 RX 07  unexpected\n"
              "+0000.098 RX 03  acknowledge\n"
              "+0000.108 RX 03  acknowledge\n"
              "+0000.108 TX 04  end\n"
              "+0000.119 RX 04  unexpected\n"
              "+0000.119 TX 88  farewell\n");
}

TEST_F(RecorderTest, AFrameCutShortIsKeptAsItIs) {
    Send({9, 1, 2});
    EXPECT_TRUE(recorder.Lines().empty());
    Read({9});  // a read ends what was written before it
    ASSERT_EQ(recorder.Lines().size(), 2u);
    EXPECT_EQ(wire::Format(recorder.Lines()[0]), "+0000.000 TX 09 01 02  unexpected");
    EXPECT_EQ(recorder.Lines()[1].meaning, Meaning::Unexpected);
    Send({24, 5});
    recorder.Flush();
    EXPECT_EQ(wire::Format(recorder.Lines().back()), "+0000.013 TX 18 05  unexpected");
}

TEST_F(RecorderTest, TheRingKeepsTheLastLines) {
    std::vector<std::string> told;
    recorder.onLine = [&](const wire::Line& line) {
        if (told.size() < 3)
            told.push_back(wire::Format(line));
    };
    const std::size_t extra = 5;
    for (std::size_t i = 0; i < wire::Recorder::kCapacity + extra; ++i) {
        now = static_cast<std::int64_t>(i);
        const std::uint8_t b = static_cast<std::uint8_t>(i);
        recorder.Received(&b, 1);
    }
    EXPECT_EQ(recorder.Lines().size(), wire::Recorder::kCapacity);
    EXPECT_EQ(recorder.Dropped(), extra);
    EXPECT_EQ(recorder.Lines().front().ms, static_cast<std::int64_t>(extra));
    EXPECT_EQ(told.size(), 3u);
    recorder.Clear();
    EXPECT_TRUE(recorder.Lines().empty());
    EXPECT_EQ(recorder.Dropped(), 0u);
}

}  // namespace
