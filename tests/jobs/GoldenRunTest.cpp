#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobs/GoldenRun.h"

namespace {

using wire::Direction;
using wire::Line;
using wire::Meaning;

Line Sent(std::uint8_t command, std::uint8_t fill, std::uint8_t stamped = 0) {
    Line line{0, Direction::Tx, std::vector<std::uint8_t>(18, fill), Meaning::Data};
    line.bytes[0] = command;
    line.bytes[5] = stamped;
    line.bytes[17] = 0x0d;
    return line;
}
Line Heard(std::uint8_t byte, Meaning meaning) {
    return {0, Direction::Rx, {byte}, meaning};
}
const Line kAck = Heard(0x43, Meaning::Acknowledge);

// Header, then three data frames of which the last two are alike (a page of zeros): each
// acknowledged, so neither counts as a resend. Byte 5 of frame 2 holds the stamped value.
std::vector<Line> Unit(std::uint8_t stamped) {
    return {Heard(0x55, Meaning::Handshake),
            Sent(0x42, 1),
            kAck,
            Sent(0x43, 7, stamped),
            kAck,
            Sent(0x43, 0),
            kAck,
            Sent(0x43, 0),
            kAck};
}

struct Case {
    const char* name;
    std::vector<Line> unit;
    const char* verdict;
};

TEST(GoldenRun, UnitsComparedWithTheGoldenRunStampedBytesLeftOut) {
    const std::vector<Line> golden = Unit(0x10);
    std::vector<Line> noisy = Unit(0x11);
    // Frame 3 asked for again, sent twice more before its answer, and a stray byte read.
    noisy.insert(noisy.begin() + 6, {Heard(0x90, Meaning::ResendRequest), Sent(0x43, 0),
                                     Sent(0x43, 0), Heard(0x7f, Meaning::Unexpected)});
    std::vector<Line> payload = Unit(0x12);
    payload[7].bytes[9] = 0xee;
    std::vector<Line> shorter = Unit(0x10);
    shorter.resize(7);
    std::vector<Line> trailer = Unit(0x10);
    trailer[3].bytes[17] = 0x0a;  // the pacing trailer is not part of what is stored
    const Case cases[] = {
        {"clean, its own stamp", Unit(0x13), "与基准一致"},
        {"trailer differs only", trailer, "与基准一致"},
        {"noisy", noisy, "多出 2 次重发；多出 1 个意外字节"},
        {"different payload", payload, "第 4 帧内容不同"},
        {"a frame missing", shorter, "帧数不同：基准 4，本台 3"},
    };
    const jobs::FrameMask mask{{1, 5}};
    const jobs::WireSummary reference = jobs::Summarise(golden);
    EXPECT_EQ(reference.frames.size(), 4u);
    EXPECT_EQ(reference.resends, 0);
    for (const Case& c : cases) {
        const jobs::GoldenCheck check =
            jobs::CompareWithGolden(reference, jobs::Summarise(c.unit), mask);
        EXPECT_EQ(jobs::GoldenVerdict(check), c.verdict) << c.name;
    }
    // The stamped byte outside the mask is a different payload.
    EXPECT_EQ(
        jobs::GoldenVerdict(jobs::CompareWithGolden(reference, jobs::Summarise(Unit(0x13)), {})),
        "第 2 帧内容不同");
}

TEST(GoldenRun, GoldenFileKeepsItsStampAndTraceLines) {
    std::string trace;
    for (const Line& line : Unit(0x10))
        trace += wire::Format(line) + "\n";
    const jobs::UnitStamp stamp{"1000", {{100, "1000"}, {101, "7"}}};
    const jobs::Golden read = jobs::ReadGolden(jobs::GoldenText(stamp, trace));
    EXPECT_EQ(read.stamp.unit, "1000");
    EXPECT_EQ(read.stamp.values, stamp.values);
    const jobs::GoldenCheck check = jobs::CompareWithGolden(
        jobs::Summarise(Unit(0x10)), jobs::Summarise(read.lines), jobs::FrameMask{});
    EXPECT_TRUE(check.Matches()) << jobs::GoldenVerdict(check);
}

}  // namespace
