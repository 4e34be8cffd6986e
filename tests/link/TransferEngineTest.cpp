#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QStringList>

#include "link/LinkMessages.h"
#include "link/TimedTransfer.h"
#include "link/TransferEngine.h"
#include "tests/link/FakeLink.h"

using ctrl::DownloadKind;
using ctrl::Packet;
using ctrl::TransferOutcome;
using Bytes = std::vector<std::uint8_t>;

namespace {

Packet Filled(std::uint8_t first) {
    Packet p{};
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<std::uint8_t>(first + i);
    return p;
}

class ListSource : public ctrl::DownloadSource {
public:
    Packet header = Filled(0xA0);
    std::vector<Packet> data;
    std::size_t next = 0;
    int closes = 0;

    void BuildHeaderPacket(Packet& packet) override { packet = header; }
    bool NextDataPacket(Packet& packet) override {
        if (next == data.size())
            return false;
        packet = data[next++];
        return true;
    }
    void CloseSource() override { ++closes; }
};

// Records what the windows around the engine saw, and whether the line was open at that moment.
class Recorder : public ctrl::TransferListener {
public:
    explicit Recorder(FakeLink& link) : link(link) {}
    std::vector<int> positions;
    std::vector<std::string> events;
    QStringList reports;

    void ProgressMoved(int position) override { positions.push_back(position); }
    void TransferEnded() override {
        events.push_back(link.open ? "windows:open" : "windows:closed");
    }
    void Report(const QString& message) override {
        events.push_back(link.open ? "report:open" : "report:closed");
        reports << message;
    }

private:
    FakeLink& link;
};

Bytes Frame(std::uint8_t command, const Packet& packet, std::uint8_t trailer) {
    Bytes frame{command};
    frame.insert(frame.end(), packet.begin(), packet.end());
    frame.push_back(trailer);
    return frame;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

class TransferEngineTest : public ::testing::TestWithParam<DownloadKind> {
protected:
    TransferEngineTest() { link.open = true; }

    void StartWith(int packets, int range = -1) {
        for (int i = 0; i < packets; ++i)
            source.data.push_back(Filled(static_cast<std::uint8_t>(16 * i)));
        engine.Start();
        engine.SetProgressRange(range < 0 ? packets : range);
    }
    void Answer(std::uint8_t byte) { link.incoming.push_back(byte); }
    void TickTimes(std::uint32_t n) {
        for (std::uint32_t i = 0; i < n; ++i)
            engine.Tick();
    }
    // Start acknowledged at once, then the header: the engine is in the data phase with packet 0
    // on the line and nothing recorded as sent.
    void IntoDataPhase(int packets) {
        StartWith(packets);
        Answer(p.startByte);
        engine.Tick();
        Answer(p.headerByte);
        engine.Tick();
        link.TakeSent();
    }

    const ctrl::TransferProfile& p = ctrl::ProfileFor(GetParam());
    FakeLink link;
    ListSource source;
    Recorder recorder{link};
    ctrl::TransferEngine engine{link, p, source, recorder};
};

TEST_P(TransferEngineTest, ControllerAnsweringAtOnceGetsEveryFrameAndTheSessionStaysReady) {
    StartWith(3);
    for (std::uint8_t a : {p.startByte, p.headerByte, p.dataByte, p.dataByte, p.dataByte}) {
        EXPECT_EQ(engine.Outcome(), TransferOutcome::Running);
        Answer(a);
        engine.Tick();
    }
    EXPECT_EQ(engine.Outcome(), TransferOutcome::Finished);
    EXPECT_EQ(link.sent, Concat({{p.startByte},
                                 Frame(p.headerByte, source.header, p.ackTrailer),
                                 Frame(p.dataByte, source.data[0], p.ackTrailer),
                                 Frame(p.dataByte, source.data[1], p.ackTrailer),
                                 Frame(p.dataByte, source.data[2], p.ackTrailer),
                                 {p.endByte}}));
    EXPECT_EQ(recorder.positions, (std::vector<int>{1, 2}));  // packets minus one
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
    EXPECT_EQ(source.closes, 1);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"windows:open"}));
    EXPECT_TRUE(link.open);
}

struct AnswerRow {
    const char* name;
    int answer;  // -1..-4: the profile's start, header, data, end byte
};

std::uint8_t Resolve(const ctrl::TransferProfile& p, int answer) {
    switch (answer) {
        case -1:
            return p.startByte;
        case -2:
            return p.headerByte;
        case -3:
            return p.dataByte;
        case -4:
            return p.endByte;
    }
    return static_cast<std::uint8_t>(answer);
}

TEST_P(TransferEngineTest, OpeningPhaseActsOnStartHeaderAndResendAnswersOnly) {
    const std::vector<AnswerRow> ignored = {{"data", -3},     {"end", -4},       {"zero", 0},
                                            {"handshake", 1}, {"farewell", 136}, {"ff", 255}};
    StartWith(2);
    link.TakeSent();
    for (const AnswerRow& row : ignored) {
        Answer(Resolve(p, row.answer));
        engine.Tick();
        EXPECT_TRUE(link.sent.empty()) << row.name;
        EXPECT_EQ(link.sessionState, ctrl::LINK_OPENING) << row.name;
    }
    EXPECT_EQ(engine.tickCount, ignored.size());

    Answer(ctrl::kResendRequest);
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.headerByte, source.header, p.requestTrailer));
    EXPECT_EQ(engine.tickCount, 0u);

    TickTimes(4);
    Answer(p.startByte);
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.headerByte, source.header, p.ackTrailer));
    EXPECT_EQ(engine.tickCount, 0u);

    TickTimes(6);
    Answer(p.headerByte);
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.dataByte, source.data[0], p.ackTrailer));
    EXPECT_EQ(link.sessionState, ctrl::LINK_DATA);
    EXPECT_EQ(engine.tickCount, 7u) << "the header acknowledgement does not reset the count";
    EXPECT_TRUE(recorder.positions.empty()) << "the first data packet does not move the bar";
}

TEST_P(TransferEngineTest, DataPhaseActsOnDataAndResendAnswersOnly) {
    IntoDataPhase(3);
    for (int answer : {-1, -2, -4, 0, 1, 136}) {
        Answer(Resolve(p, answer));
        engine.Tick();
        EXPECT_TRUE(link.sent.empty()) << answer;
        EXPECT_EQ(link.sessionState, ctrl::LINK_DATA);
    }
    const std::uint32_t before = engine.tickCount;
    for (int again = 0; again < 3; ++again) {
        Answer(ctrl::kResendRequest);
        engine.Tick();
        EXPECT_EQ(link.TakeSent(), Frame(p.dataByte, source.data[0], p.requestTrailer));
    }
    EXPECT_EQ(engine.tickCount, before + 3) << "a requested resend does not reset the count";
    EXPECT_TRUE(recorder.positions.empty());

    Answer(p.dataByte);
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.dataByte, source.data[1], p.ackTrailer));
    EXPECT_EQ(engine.tickCount, 0u);
    EXPECT_EQ(recorder.positions, std::vector<int>{1});
}

TEST_P(TransferEngineTest, SilentControllerGetsOneHeaderResendThenTheTransferIsAbandoned) {
    StartWith(2);
    link.TakeSent();
    TickTimes(p.openingResendTick - 1);
    EXPECT_TRUE(link.sent.empty());
    engine.Tick();
    // Before any acknowledgement the resend carries the real header packet.
    EXPECT_EQ(link.TakeSent(), Frame(p.headerByte, source.header, p.tickTrailer));
    TickTimes(p.openingGiveUpTick - p.openingResendTick - 1);
    EXPECT_EQ(engine.Outcome(), TransferOutcome::Running);
    EXPECT_EQ(engine.Tick(), TransferOutcome::Abandoned);

    EXPECT_TRUE(link.sent.empty());
    EXPECT_EQ(link.sessionState, ctrl::LINK_IDLE);
    EXPECT_FALSE(link.open);
    EXPECT_EQ(source.closes, 1);
    EXPECT_EQ(engine.tickCount, 0u);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"windows:open", "report:closed"}));
    EXPECT_EQ(recorder.reports,
              QStringList{ctrl::ExplainAbandon(ctrl::kNoAnswerMessage, {0, 0, 1, 0, -1})});
}

TEST_P(TransferEngineTest, ResendTickTakesNoAnswer) {
    StartWith(1);
    TickTimes(p.openingResendTick - 1);
    Answer(p.startByte);
    link.TakeSent();
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.headerByte, source.header, p.tickTrailer));
    EXPECT_EQ(link.incoming.size(), 1u);
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.headerByte, source.header, p.ackTrailer));
}

TEST_P(TransferEngineTest, UnacknowledgedDataIsResentOnceAndGivenUpCountingFromTheStartAnswer) {
    StartWith(2);
    TickTimes(5);
    Answer(p.startByte);
    engine.Tick();  // count 0 from here
    TickTimes(9);
    Answer(p.headerByte);
    engine.Tick();  // count 10, not reset
    link.TakeSent();
    TickTimes(p.dataResendTick - 11);
    EXPECT_TRUE(link.sent.empty());
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.dataByte, source.data[0], p.tickTrailer));
    TickTimes(p.dataGiveUpTick - p.dataResendTick - 1);
    EXPECT_EQ(link.sessionState, ctrl::LINK_DATA);
    EXPECT_EQ(engine.Tick(), TransferOutcome::Abandoned);
    EXPECT_TRUE(link.sent.empty());
    // Two answers, one timed resend, and silence since the header's acknowledgement at count 10.
    const int silentMs = int(p.dataGiveUpTick - 10) * p.periodMs;
    EXPECT_EQ(recorder.reports,
              QStringList{ctrl::ExplainAbandon(ctrl::kNoAnswerMessage, {2, 0, 1, 0, silentMs})});
    EXPECT_FALSE(link.open);
}

TEST_P(TransferEngineTest, DataResendCountsFromTheLastAcknowledgement) {
    IntoDataPhase(3);
    TickTimes(40);
    Answer(p.dataByte);
    engine.Tick();
    link.TakeSent();
    TickTimes(p.dataResendTick - 1);
    EXPECT_TRUE(link.sent.empty());
    engine.Tick();
    EXPECT_EQ(link.TakeSent(), Frame(p.dataByte, source.data[1], p.tickTrailer));
}

TEST_P(TransferEngineTest, SourceWithoutDataAnswersTheHeaderAcknowledgementWithTheEndByte) {
    StartWith(0);
    Answer(p.startByte);
    Answer(p.headerByte);
    TickTimes(2);
    EXPECT_EQ(
        link.sent,
        Concat({{p.startByte}, Frame(p.headerByte, source.header, p.ackTrailer), {p.endByte}}));
    EXPECT_EQ(engine.Outcome(), TransferOutcome::Finished);
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
    EXPECT_TRUE(recorder.positions.empty());
    EXPECT_EQ(source.closes, 1);
}

TEST_P(TransferEngineTest, OneAnswerPerTickAndNothingAfterTheEnd) {
    StartWith(1);
    for (std::uint8_t a : {p.startByte, p.headerByte, p.dataByte, p.startByte})
        Answer(a);
    engine.Tick();
    EXPECT_EQ(link.incoming.size(), 3u);
    TickTimes(2);
    EXPECT_EQ(engine.Outcome(), TransferOutcome::Finished);
    link.TakeSent();
    TickTimes(p.dataGiveUpTick + 5);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_EQ(link.incoming.size(), 1u);
    EXPECT_EQ(link.sessionState, ctrl::LINK_READY);
}

TEST_P(TransferEngineTest, ProgressStartsAgainAfterPassingTheEndOfTheRange) {
    StartWith(6, 2);
    Answer(p.startByte);
    Answer(p.headerByte);
    for (int i = 0; i < 6; ++i)
        Answer(p.dataByte);
    TickTimes(8);
    EXPECT_EQ(recorder.positions, (std::vector<int>{1, 2, 0, 1, 2}));
}

// The port says the device went away: the next tick ends the transfer, sends nothing and
// reports nothing (the session tells the user); bytes that fit no rule are counted on the way.
TEST_P(TransferEngineTest, LostLineEndsAtTheNextTickWithoutAMessage) {
    StartWith(2);
    Answer(0x77);
    engine.Tick();
    Answer(p.startByte);
    engine.Tick();
    EXPECT_EQ(engine.UnmatchedBytes(), 1);
    EXPECT_EQ(engine.Answers(), 1);
    link.TakeSent();
    link.lost = true;
    link.open = false;
    EXPECT_EQ(engine.Tick(), TransferOutcome::Abandoned);
    EXPECT_TRUE(engine.LineLost());
    EXPECT_TRUE(link.sent.empty());
    EXPECT_TRUE(recorder.reports.isEmpty());
    EXPECT_EQ(recorder.events, std::vector<std::string>{"windows:closed"});
    EXPECT_EQ(link.sessionState, ctrl::LINK_IDLE);
    EXPECT_EQ(source.closes, 1);
}

TEST_P(TransferEngineTest, LineClosedUnderneathEndsByTheGiveUpTick) {
    IntoDataPhase(2);
    link.open = false;  // the adapter was pulled
    TickTimes(p.dataGiveUpTick - 1 - engine.tickCount);
    EXPECT_EQ(engine.Outcome(), TransferOutcome::Running);
    EXPECT_EQ(engine.Tick(), TransferOutcome::Abandoned);
    ASSERT_EQ(recorder.reports.size(), 1);
    EXPECT_TRUE(recorder.reports[0].startsWith(ctrl::kNoAnswerMessage + QLatin1Char('\n')));
    EXPECT_EQ(link.sessionState, ctrl::LINK_IDLE);
}

// Answers that show the controller may hold wrong data are counted and reported at the finish;
// the bytes on the line stay those of an honest run. -1..-3: start, header, data acknowledgement.
TEST_P(TransferEngineTest, AnswersThatShowWrongDataAreCountedAndReported) {
    struct Row {
        const char* name;
        std::vector<std::vector<int>> arrivals;  // bytes arriving before each tick
        int suspect;
    };
    const Row rows[] = {
        {"honest", {{-1}, {-2}, {-3}, {-3}}, 0},
        {"header answer before the start answer", {{-2}, {-1}, {-3}, {-3}}, 1},
        {"honest resend request", {{-1}, {-2}, {90}, {-3}, {-3}}, 0},
        {"request with its answer already behind it", {{-1}, {-2}, {90, -3}, {}, {-3}}, 1},
        {"request with only noise behind it", {{-1}, {-2}, {90, 0}, {}, {-3}, {-3}}, 0},
    };
    // The answer to a timed resend carries no doubt: the resend had its own trailer.
    auto timed = rows[0];
    timed.name = "timed resend answered late";
    timed.arrivals.insert(timed.arrivals.begin() + 2, p.dataResendTick, std::vector<int>{});
    for (auto row : {rows[0], rows[1], rows[2], rows[3], rows[4], timed}) {
        FakeLink line;
        line.open = true;
        ListSource packets;
        packets.data = {Filled(0), Filled(16)};
        Recorder seen{line};
        ctrl::TransferEngine run{line, p, packets, seen};
        run.Start();
        run.SetProgressRange(2);
        for (const auto& arrival : row.arrivals) {
            for (int a : arrival)
                line.incoming.push_back(Resolve(p, a));
            run.Tick();
        }
        EXPECT_EQ(run.Outcome(), TransferOutcome::Finished) << row.name;
        EXPECT_EQ(run.SuspectAnswers(), row.suspect) << row.name;
        const QStringList expected =
            row.suspect > 0 ? QStringList{ctrl::SuspectAnswersMessage(row.suspect)} : QStringList{};
        EXPECT_EQ(seen.reports, expected) << row.name;
        EXPECT_EQ(line.sent.back(), p.endByte) << row.name;
    }
}

// Answer-driven pacing: a frame goes out as soon as the answer it waits for is in, no tick needed.
TEST_P(TransferEngineTest, FastPacingSendsEachFrameOnItsAnswerWithoutATick) {
    StartWith(2);
    std::vector<std::size_t> sentAfter;
    for (std::uint8_t a : {p.startByte, p.headerByte, p.dataByte, p.dataByte}) {
        Answer(a);
        engine.AnswerArrived();
        sentAfter.push_back(link.sent.size());
    }
    EXPECT_EQ(engine.Outcome(), TransferOutcome::Finished);
    EXPECT_EQ(engine.tickCount, 0u);
    EXPECT_EQ(sentAfter, (std::vector<std::size_t>{19, 37, 55, 56}));
    EXPECT_EQ(link.sent, Concat({{p.startByte},
                                 Frame(p.headerByte, source.header, p.ackTrailer),
                                 Frame(p.dataByte, source.data[0], p.ackTrailer),
                                 Frame(p.dataByte, source.data[1], p.ackTrailer),
                                 {p.endByte}}));
    EXPECT_EQ(recorder.positions, (std::vector<int>{1}));
    // Nothing waiting: nothing happens.
    EXPECT_EQ(engine.AnswerArrived(), TransferOutcome::Finished);
    EXPECT_EQ(link.sent.size(), 56u);
}

// Either pacing resends and gives up when the tick count reaches the profile's ticks. The one
// difference: a tick that reads the header answer counts towards the data phase, an answer taken
// between ticks does not.
TEST_P(TransferEngineTest, FastPacingKeepsTheResendAndGiveUpTicks) {
    const struct {
        int answered;  // answers given before the silence: start, header, data ...
        std::uint32_t resendTick;
        std::uint32_t giveUpTick;
        std::uint32_t readingTickCounts;  // tick pacing only
    } rows[] = {
        {0, p.openingResendTick, p.openingGiveUpTick, 0},
        {1, p.openingResendTick, p.openingGiveUpTick, 0},
        {2, p.dataResendTick, p.dataGiveUpTick, 1},
        {3, p.dataResendTick, p.dataGiveUpTick, 0},
    };
    for (const auto& row : rows) {
        for (const bool fast : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "answered " << row.answered << " fast " << fast);
            FakeLink line;
            line.open = true;
            ListSource packets;
            packets.data.assign(3, Filled(0x40));
            Recorder windows{line};
            ctrl::TransferEngine e{line, p, packets, windows};
            e.Start();
            const std::uint8_t answers[] = {p.startByte, p.headerByte, p.dataByte};
            // The last frame goes out on the answer (fast) or on the tick that reads it.
            for (int i = 0; i < row.answered; ++i) {
                line.incoming.push_back(answers[i]);
                fast ? e.AnswerArrived() : e.Tick();
            }
            const std::size_t before = line.sent.size();
            std::uint32_t resendAt = 0;
            std::uint32_t ticks = 0;
            while (e.Outcome() == TransferOutcome::Running && ticks < 10000) {
                if (fast)
                    e.AnswerArrived();
                e.Tick();
                ++ticks;
                if (resendAt == 0 && line.sent.size() > before)
                    resendAt = ticks;
            }
            const std::uint32_t counted = fast ? 0 : row.readingTickCounts;
            EXPECT_EQ(resendAt, row.resendTick - counted);
            EXPECT_EQ(ticks, row.giveUpTick - counted);
            EXPECT_EQ(e.Outcome(), TransferOutcome::Abandoned);
            EXPECT_EQ(e.TimedResends(), 1);
        }
    }
}

// A resend request in fast pacing is acted on at once as well; the tick count is not reset.
TEST_P(TransferEngineTest, FastPacingAnswersAResendRequestAtOnce) {
    IntoDataPhase(2);
    const std::uint32_t ticks = engine.tickCount;
    Answer(ctrl::kResendRequest);
    engine.AnswerArrived();
    EXPECT_EQ(link.TakeSent(), Frame(p.dataByte, source.data[0], p.requestTrailer));
    EXPECT_EQ(engine.ResendRequests(), 1);
    EXPECT_EQ(engine.tickCount, ticks);
}

// A tick source that never fires by itself.
struct IdleTicks : ctrl::TickSource {
    void Start(std::function<void()> t) override {
        tick = std::move(t);
        active = true;
    }
    void Stop() override { active = false; }
    bool IsActive() const override { return active; }
    std::function<void()> tick;
    bool active = false;
};

// Like the serial port, whose read inside a tick or a send reports what it pulled in.
class NoticingLink : public FakeLink {
public:
    int QueuedBytes() override {
        if (const std::function<void()> arrived = onArrival; arrived && !incoming.empty()) {
            ++notices;
            arrived();
        }
        return FakeLink::QueuedBytes();
    }
    int notices = 0;
};

// Fast pacing runs on the line's arrival notices alone; those coming from inside the engine's
// own reads do not run it again, but what they told of is taken once the engine is done, and
// a finished transfer leaves the next one's hook alone.
TEST(TimedTransferTest, FastPacingRunsOnArrivalNoticesAndOwnsTheHookOnlyWhileRunning) {
    const ctrl::TransferProfile& p = ctrl::kProgramProfile;
    NoticingLink link;
    link.open = true;
    ListSource packets;
    packets.data = {Filled(0), Filled(16)};
    Recorder seen{link};
    auto first = std::make_unique<ctrl::TimedTransfer>(link, p, packets, seen,
                                                       std::make_unique<IdleTicks>());
    first->PaceByAnswers(std::make_unique<IdleTicks>());
    first->Start();
    ASSERT_TRUE(link.onArrival);
    for (std::uint8_t a : {p.startByte, p.headerByte, p.dataByte, p.dataByte}) {
        link.incoming.push_back(a);
        link.onArrival();
    }
    EXPECT_EQ(first->Engine().Outcome(), TransferOutcome::Finished);
    EXPECT_EQ(first->Engine().tickCount, 0u);
    EXPECT_GT(link.notices, 0);
    EXPECT_EQ(link.sent, Concat({{p.startByte},
                                 Frame(p.headerByte, packets.header, p.ackTrailer),
                                 Frame(p.dataByte, packets.data[0], p.ackTrailer),
                                 Frame(p.dataByte, packets.data[1], p.ackTrailer),
                                 {p.endByte}}));
    EXPECT_FALSE(link.onArrival);

    packets.next = 0;
    ctrl::TimedTransfer second(link, p, packets, seen, std::make_unique<IdleTicks>());
    second.PaceByAnswers(std::make_unique<IdleTicks>());
    second.Start();
    first.reset();
    ASSERT_TRUE(link.onArrival);
    link.incoming.push_back(p.startByte);
    link.onArrival();
    EXPECT_EQ(second.Engine().FramesSent(), 1);
    second.Stop();
    EXPECT_FALSE(link.onArrival);

    // A tick takes one answer; the next, told of during the tick, must not wait for the watch.
    packets.next = 0;
    auto ticks = std::make_unique<IdleTicks>();
    IdleTicks& ticking = *ticks;
    ctrl::TimedTransfer third(link, p, packets, seen, std::move(ticks));
    third.PaceByAnswers(std::make_unique<IdleTicks>());
    third.Start();
    link.incoming.push_back(p.startByte);
    link.incoming.push_back(p.headerByte);
    ticking.tick();
    EXPECT_EQ(third.Engine().FramesSent(), 2);
}

INSTANTIATE_TEST_SUITE_P(Downloads, TransferEngineTest,
                         ::testing::Values(DownloadKind::Program, DownloadKind::Parameters,
                                           DownloadKind::Screen),
                         [](const auto& info) {
                             switch (info.param) {
                                 case DownloadKind::Program:
                                     return "Program";
                                 case DownloadKind::Parameters:
                                     return "Parameters";
                                 case DownloadKind::Screen:
                                     return "Screen";
                             }
                             return "";
                         });

// The trailers and ticks that differ per download, as the controller sees them.
TEST(TransferProfileTest, ScreenSwapsTheAcknowledgementAndTickTrailersAndWaitsLonger) {
    struct Row {
        DownloadKind kind;
        int period, start, header, data, end, openResend, openGiveUp, ack, tick;
    };
    const Row rows[] = {
        {DownloadKind::Program, 10, 2, 18, 3, 4, 100, 800, 85, 0},
        {DownloadKind::Parameters, 10, 5, 21, 6, 7, 100, 800, 85, 0},
        {DownloadKind::Screen, 50, 8, 24, 9, 10, 50, 200, 0, 85},
    };
    for (const Row& r : rows) {
        const auto& p = ctrl::ProfileFor(r.kind);
        EXPECT_EQ(p.periodMs, r.period);
        EXPECT_EQ((Bytes{p.startByte, p.headerByte, p.dataByte, p.endByte}),
                  (Bytes{Bytes::value_type(r.start), Bytes::value_type(r.header),
                         Bytes::value_type(r.data), Bytes::value_type(r.end)}));
        EXPECT_EQ(p.openingResendTick, std::uint32_t(r.openResend));
        EXPECT_EQ(p.openingGiveUpTick, std::uint32_t(r.openGiveUp));
        EXPECT_EQ(p.dataResendTick, 100u);
        EXPECT_EQ(p.dataGiveUpTick, 800u);
        EXPECT_EQ(p.ackTrailer, r.ack);
        EXPECT_EQ(p.tickTrailer, r.tick);
        EXPECT_EQ(p.requestTrailer, 85);
    }
}

// A suite's shorter give-up keeps the resend before it and never lengthens a profile's wait;
// without the variable, or with no positive number in it, the profile is the product's.
TEST(TransferProfileTest, GiveUpFromTheEnvironmentOnlyShortensAndStaysAfterTheResend) {
    struct Row {
        const char* value;  // nullptr: unset
        DownloadKind kind;
        std::uint32_t openGiveUp, dataGiveUp;
    };
    const Row rows[] = {
        {nullptr, DownloadKind::Program, 800, 800}, {"", DownloadKind::Program, 800, 800},
        {"-5", DownloadKind::Program, 800, 800},    {"soon", DownloadKind::Program, 800, 800},
        {"150", DownloadKind::Program, 150, 150},   {"150", DownloadKind::Screen, 150, 150},
        {"10", DownloadKind::Program, 101, 101},    {"10", DownloadKind::Screen, 51, 101},
        {"5000", DownloadKind::Screen, 200, 800},
    };
    for (const Row& r : rows) {
        if (r.value)
            qputenv(ctrl::kGiveUpTicksVariable, r.value);
        else
            qunsetenv(ctrl::kGiveUpTicksVariable);
        const ctrl::TransferProfile& product = ctrl::ProfileFor(r.kind);
        const ctrl::TransferProfile p = ctrl::WithGiveUpFromEnvironment(product);
        EXPECT_EQ(p.openingGiveUpTick, r.openGiveUp) << (r.value ? r.value : "unset");
        EXPECT_EQ(p.dataGiveUpTick, r.dataGiveUp) << (r.value ? r.value : "unset");
        EXPECT_EQ(p.openingResendTick, product.openingResendTick);
        EXPECT_EQ(p.periodMs, product.periodMs);
    }
    qunsetenv(ctrl::kGiveUpTicksVariable);
}

}  // namespace
