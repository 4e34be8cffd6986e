#include <gtest/gtest.h>

#include <vector>

#include "emulator/VirtualController.h"

using Bytes = std::vector<std::uint8_t>;
using emu::TransferKind;

namespace {

struct Wire {
    std::uint8_t start, header, data, end, ack, late;
};
constexpr Wire kProgram{2, 18, 3, 4, 85, 0};
constexpr Wire kScreen{8, 24, 9, 10, 0, 85};

Bytes Frame(std::uint8_t command, std::uint8_t first, std::uint8_t trailer) {
    Bytes frame{command};
    for (int i = 0; i < 16; ++i)
        frame.push_back(static_cast<std::uint8_t>(first + i));
    frame.push_back(trailer);
    return frame;
}

// Feeds bytes and gathers every answer.
Bytes Feed(emu::VirtualController& c, const Bytes& bytes) {
    Bytes answers;
    for (std::uint8_t b : bytes) {
        const Bytes a = c.Feed(b);
        answers.insert(answers.end(), a.begin(), a.end());
    }
    return answers;
}

TEST(VirtualControllerTest, HandshakeAnswersFollowTheFaultOptions) {
    struct Row {
        const char* name;
        emu::Faults faults;
        Bytes answer;
    };
    std::vector<Row> rows(4);
    rows[0] = {"plain", {}, {1}};
    rows[1] = {"wrong bytes first", {}, {7, 200, 1}};
    rows[1].faults.handshakePrefix = {7, 200};
    rows[2] = {"silent", {}, {}};
    rows[2].faults.neverAnswer = true;
    rows[3] = {"noisy", {}, {0x33, 0x44, 1}};
    rows[3].faults.noise = {0x33, 0x44};
    for (const Row& row : rows) {
        emu::VirtualController c(row.faults);
        EXPECT_EQ(c.Feed(1), row.answer) << row.name;
        EXPECT_TRUE(c.Feed(136).empty()) << row.name;
        EXPECT_EQ(c.Farewells(), 1) << row.name;
    }
}

// Transfers a controller must not keep: each is refused once, no longer answered, not kept.
TEST(VirtualControllerTest, TransfersThatCannotBeRightAreRefusedAndNotKept) {
    const Bytes header = Frame(kProgram.header, 0, kProgram.ack);
    const auto data = [](std::uint8_t first) { return Frame(kProgram.data, first, kProgram.ack); };
    const auto join = [](std::vector<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    const struct {
        const char* name;
        Bytes bytes;
        Bytes answers;
        std::vector<emu::Refusal> refusals;
        std::size_t kept;
    } rows[] = {
        {"data before the header",
         join({{2}, data(0), data(16), {4}}),
         {2},
         {emu::Refusal::DataWithoutHeader},
         0},
        {"one record cut short",
         join({{2}, header, data(0), {4}}),
         {2, 18, 3},
         {emu::Refusal::PartialRecord},
         0},
        {"two records and a cut one",
         join({{2}, header, data(0), data(16), data(32), data(48), {4}}),
         {2, 18, 3, 3, 3, 3},
         {emu::Refusal::PartialRecord},
         0},
        {"one record and padding",
         join({{2}, header, data(0), data(16), {4}}),
         {2, 18, 3, 3},
         {},
         1},
        {"two records",
         join({{2}, header, data(0), data(16), data(32), {4}}),
         {2, 18, 3, 3, 3},
         {},
         1},
        {"refused, then a whole one",
         join({{2}, data(0), {4}, {2}, header, {4}}),
         {2, 2, 18},
         {emu::Refusal::DataWithoutHeader},
         1},
    };
    for (const auto& row : rows) {
        emu::VirtualController c;
        std::vector<emu::Refusal> logged;
        c.onRefused = [&](emu::Refusal why) { logged.push_back(why); };
        EXPECT_EQ(Feed(c, row.bytes), row.answers) << row.name;
        EXPECT_EQ(logged, row.refusals) << row.name;
        EXPECT_EQ(c.Completed().size(), row.kept) << row.name;
    }
}

TEST(VirtualControllerTest, TransferThatCannotBeKeptIsNeverAcknowledged) {
    emu::VirtualController c;
    bool room = false;
    c.canKeep = [&] { return room; };
    EXPECT_EQ(Feed(c, {1}), Bytes{1});
    EXPECT_TRUE(Feed(c, {kProgram.start}).empty());
    room = true;
    EXPECT_TRUE(Feed(c, {kProgram.start}).empty()) << "a failed controller stays silent";
    EXPECT_TRUE(Feed(c, {1}).empty());
}

TEST(VirtualControllerTest, ProgramTransferIsEchoedFrameByFrameAndKeptAtTheEndByte) {
    emu::VirtualController c;
    int reported = 0;
    c.onCompleted = [&](const emu::Transfer&) { ++reported; };
    Bytes header = Frame(kProgram.header, 0, kProgram.ack);
    header[1] = 1;  // program 300: 1, 44
    header[2] = 44;
    EXPECT_EQ(Feed(c, {kProgram.start}), Bytes{2});
    EXPECT_EQ(Feed(c, header), Bytes{18});
    EXPECT_EQ(Feed(c, Frame(kProgram.data, 0, kProgram.ack)), Bytes{3});
    EXPECT_EQ(Feed(c, Frame(kProgram.data, 16, kProgram.ack)), Bytes{3});
    EXPECT_EQ(Feed(c, Frame(kProgram.data, 32, kProgram.ack)), Bytes{3});
    EXPECT_EQ(reported, 0);
    EXPECT_TRUE(Feed(c, {kProgram.end}).empty());
    ASSERT_EQ(c.Completed().size(), 1u);
    const emu::Transfer& t = c.Completed()[0];
    EXPECT_EQ(t.kind, TransferKind::Program);
    EXPECT_EQ(t.ProgramNumber(), 300);
    EXPECT_EQ(t.data.size(), 48u);
    EXPECT_EQ(t.ObjectRecords().size(), 48u);  // two whole records
    EXPECT_EQ(t.data[47], 47);
    EXPECT_EQ(reported, 1);
}

TEST(VirtualControllerTest, AskedForAndLatePacketsAreKeptOnce) {
    struct Row {
        const char* name;
        Wire wire;
        int resendEvery;
    };
    for (const Row& row : {Row{"program", kProgram, 2}, Row{"screen", kScreen, 2},
                           Row{"screen, no requests", kScreen, 0}}) {
        emu::Faults faults;
        faults.resendEvery = row.resendEvery;
        emu::VirtualController c(faults);
        const Wire& w = row.wire;
        Feed(c, {w.start});
        Bytes expected;
        Feed(c, Frame(w.header, 0, w.ack));     // frame 1
        for (std::uint8_t p = 0; p < 3; ++p) {  // two whole program records
            const std::uint8_t first = static_cast<std::uint8_t>(16 * p);
            Bytes answer = Feed(c, Frame(w.data, first, w.ack));
            if (answer == Bytes{90})
                answer = Feed(c, Frame(w.data, first, 85));
            EXPECT_EQ(answer, Bytes{w.data}) << row.name;
            // Our answer was late and the host sent the packet again.
            EXPECT_EQ(Feed(c, Frame(w.data, first, w.late)), Bytes{w.data}) << row.name;
            for (int i = 0; i < 16; ++i)
                expected.push_back(static_cast<std::uint8_t>(first + i));
        }
        Feed(c, {w.end});
        ASSERT_EQ(c.Completed().size(), 1u) << row.name;
        EXPECT_EQ(c.Completed()[0].data, expected) << row.name;
    }
}

TEST(VirtualControllerTest, StopsAnsweringAfterTheGivenNumberOfFrames) {
    emu::Faults faults;
    faults.stopAfterFrames = 2;
    emu::VirtualController c(faults);
    EXPECT_EQ(Feed(c, {kProgram.start}), Bytes{2});
    EXPECT_EQ(Feed(c, Frame(kProgram.header, 0, 85)), Bytes{18});
    EXPECT_TRUE(Feed(c, Frame(kProgram.data, 0, 85)).empty());
    EXPECT_TRUE(Feed(c, {1}).empty()) << "silent for good, the handshake too";
}

TEST(VirtualControllerTest, ParameterAndScreenHeadersAndValuesAreDecoded) {
    emu::VirtualController c;
    Bytes values = Frame(6, 0, 85);
    const Bytes packet = {255, 255, 255, 231, 0, 0, 0, 250, 128, 0, 0, 0, 0, 0, 1, 0};
    std::copy(packet.begin(), packet.end(), values.begin() + 1);
    Bytes page(18, 0);
    page[0] = 21;
    page[2] = 7;
    page[17] = 85;
    Feed(c, {5});
    Feed(c, page);
    Feed(c, values);
    Feed(c, {7});

    Bytes screen(18, 0);
    const Bytes head = {24, 0, 1, 2, 255, 0, 0, 0, 100, 15, 255, 0, 12};
    std::copy(head.begin(), head.end(), screen.begin());
    Feed(c, {8});
    Feed(c, screen);
    Feed(c, {10});

    ASSERT_EQ(c.Completed().size(), 2u);
    const emu::Transfer& p = c.Completed()[0];
    EXPECT_EQ(p.kind, TransferKind::Parameters);
    EXPECT_EQ(p.PageNumber(), 7);
    EXPECT_EQ(p.RegisterValues(), (std::vector<std::int32_t>{-25, 250, INT32_MIN, 256}));
    const emu::Transfer& s = c.Completed()[1];
    EXPECT_EQ(s.kind, TransferKind::Screen);
    EXPECT_EQ(s.ScreenKind(), 1);
    EXPECT_EQ(s.ScreenNumber(), 767);
    EXPECT_EQ(s.ScreenRegisters(), (std::array<int, 4>{0, 100, 4095, 12}));
}

TEST(VirtualControllerTest, HandshakeInTheMiddleDropsTheUnfinishedTransfer) {
    emu::VirtualController c;
    Feed(c, {2});
    Feed(c, Frame(18, 0, 85));
    EXPECT_EQ(Feed(c, {1}), Bytes{1});
    Feed(c, {4});
    EXPECT_TRUE(c.Completed().empty());
}

}  // namespace
