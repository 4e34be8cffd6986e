#include <gtest/gtest.h>

#include <vector>

#include <QtTest/qtestsystem.h>
#include <QStringList>

#include "link/ControllerSession.h"
#include "link/LinkMessages.h"
#include "tests/support/EmulatedLine.h"
#include "tests/support/Patience.h"
#include "tests/support/Portable.h"

namespace {

class PacketSource : public ctrl::DownloadSource {
public:
    explicit PacketSource(int packets) {
        for (int i = 0; i < packets; ++i) {
            ctrl::Packet p;
            for (int j = 0; j < 16; ++j)
                p[j] = static_cast<std::uint8_t>(i * 7 + j);
            data.push_back(p);
        }
    }
    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> all;
        for (const auto& p : data)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    }
    int Count() const { return static_cast<int>(data.size()); }
    void BuildHeaderPacket(ctrl::Packet& packet) override {
        packet.fill(0);
        packet[1] = 42;
    }
    bool NextDataPacket(ctrl::Packet& packet) override {
        if (next == data.size())
            return false;
        packet = data[next++];
        return true;
    }
    void CloseSource() override { ++closes; }

    std::vector<ctrl::Packet> data;
    std::size_t next = 0;
    int closes = 0;
};

// The session and the transfers on a line served by the virtual controller.
class EndToEndTest : public ::testing::Test {
protected:
    void Serve(emu::Faults faults = {}, int hangUpAfter = -1) {
        handshakeAnswer = emu::VirtualController(faults).Feed(1).size();
        line = std::make_unique<testsupport::EmulatedLine>(faults, hangUpAfter);
        ASSERT_EQ(line->Error(), "");
        session = std::make_unique<ctrl::ControllerSession>(
            line->port, [this](const QString& m) { shown << m; });
    }
    // The handshake with the session ticked by hand once the whole answer has arrived: it takes
    // one byte a tick, and its own 500 ms timer would only add waiting.
    void Connect() {
        session->Connect(line->port.portPath);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return line->port.QueuedBytes() >= static_cast<int>(handshakeAnswer); }, 3000));
        for (std::size_t i = 0; i < handshakeAnswer && !session->connected; ++i)
            session->Tick();
        ASSERT_TRUE(session->connected);
    }

    QStringList shown;
    std::size_t handshakeAnswer = 0;
    std::unique_ptr<testsupport::EmulatedLine> line;
    std::unique_ptr<ctrl::ControllerSession> session;
};

TEST_F(EndToEndTest, ProgramReachesTheControllerByteForByteAndTheSessionGoesOn) {
    Serve();
    Connect();
    PacketSource source(42);  // 28 whole records: the controller refuses a cut one
    ASSERT_TRUE(line->Transfer(ctrl::kProgramProfile, source, source.Count()).ended);
    EXPECT_TRUE(line->windows.reports.isEmpty());
    EXPECT_EQ(line->port.sessionState, ctrl::LINK_READY);
    EXPECT_EQ(line->windows.lastPosition, 41);
    EXPECT_TRUE(line->port.IsOpen());
    session->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return line->controller.Farewells() == 1; }, 2000));
    const std::vector<emu::Transfer> completed = line->Completed();
    ASSERT_EQ(completed.size(), 1u);
    EXPECT_EQ(completed[0].ProgramNumber(), 42);
    EXPECT_EQ(completed[0].data, source.Bytes());
}

// Fast pacing hears of each answer from the port as it comes in: with neither a tick nor a look
// of its own, the whole program still goes through.
TEST_F(EndToEndTest, FastPacingRunsOnThePortsArrivalsAlone) {
    Serve();
    Connect();
    PacketSource source(42);
    testsupport::HandTicks ticks;
    testsupport::HandTicks looks;
    const auto run = line->Transfer(ctrl::kProgramProfile, source, source.Count(), ticks.Make(),
                                    10000, looks.Make());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.outcome, ctrl::TransferOutcome::Finished);
    EXPECT_FALSE(line->port.onArrival);
    ASSERT_TRUE(line->WaitForCompleted(1, 2000));
    EXPECT_EQ(line->Completed()[0].data, source.Bytes());
}

TEST_F(EndToEndTest, ResendRequestsNoiseAndWrongHandshakeBytesDoNotDisturbTheTransfer) {
    emu::Faults faults;
    faults.handshakePrefix = {7, 3};
    faults.resendEvery = 3;
    faults.noise = {0x00, 0x77};
    Serve(faults);
    Connect();
    PacketSource source(6);
    // The screen trailers at the speed of the line: the answers, not the period, are under test.
    const ctrl::TransferProfile& profile = ctrl::kScreenProfile;
    ASSERT_TRUE(line->Transfer(profile, source, source.Count(),
                               testsupport::AnswerPacedTicks(line->port)(profile.periodMs))
                    .ended);
    EXPECT_TRUE(line->windows.reports.isEmpty());
    EXPECT_EQ(line->port.sessionState, ctrl::LINK_READY);
    ASSERT_TRUE(line->WaitForCompleted(1, 2000));
    EXPECT_EQ(line->Completed()[0].data, source.Bytes());
}

TEST_F(EndToEndTest, HangUpMidTransferEndsAtOnceAsALostLineWithAClosedPort) {
    Serve({}, 6);  // start, header and four data frames, then the line goes dead
    Connect();
    PacketSource source(30);
    const double cpuBefore = portable::ThreadCpuSeconds();
    const testsupport::EmulatedLine::Run run =
        line->Transfer(ctrl::kProgramProfile, source, source.Count());
    ASSERT_TRUE(run.ended);
    // A vanished device must not leave the port spinning on its errors: spinning would take all
    // of the wall time, waiting next to none.
    constexpr double kSpinningShare = 0.5;
    EXPECT_LT(portable::ThreadCpuSeconds() - cpuBefore, kSpinningShare * run.wallSeconds + 0.05);
    EXPECT_TRUE(line->windows.reports.isEmpty()) << "the session tells, not the transfer";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, 1000));
    EXPECT_EQ(shown, QStringList{msg::QText(msg::Id::LineLost)});
    EXPECT_FALSE(line->port.IsOpen());
    EXPECT_EQ(line->port.sessionState, ctrl::LINK_IDLE);
    EXPECT_EQ(source.closes, 1);
    // Well before the data give-up tick (8 s) would have ended it.
    EXPECT_LT(run.wallSeconds, std::chrono::duration<double>(testsupport::kNoticeBound).count());
    EXPECT_FALSE(session->connected);
    EXPECT_TRUE(session->IsEnabled(ctrl::LinkCommand::Connect));
}

TEST_F(EndToEndTest, SilentControllerFailsTheHandshake) {
    emu::Faults faults;
    faults.neverAnswer = true;
    Serve(faults);
    session->Connect(line->port.portPath);
    for (int i = 0; i < 20; ++i)
        session->Tick();
    EXPECT_EQ(shown, QStringList{ctrl::kHandshakeFailedMessage});
    EXPECT_FALSE(line->port.IsOpen());
}

// Hand ticks on a silent line: the header goes out again at the resend tick and the transfer
// is given up at the give-up tick, without waiting for either in real time.
TEST_F(EndToEndTest, HandTicksRunTheGiveUpOfASilentControllerAtOnce) {
    emu::Faults faults;
    faults.neverAnswer = true;
    Serve(faults);
    ASSERT_TRUE(line->OpenInSession());
    const ctrl::TransferProfile& profile = ctrl::kProgramProfile;
    PacketSource source(3);
    testsupport::HandTicks ticks;
    ctrl::TimedTransfer transfer(line->port, profile, source, line->windows, ticks.Make());
    transfer.Start();
    EXPECT_TRUE(transfer.IsRunning());
    EXPECT_EQ(line->port.sent.size(), 1u);
    EXPECT_EQ(ticks.Tick(int(profile.openingResendTick)), int(profile.openingResendTick));
    EXPECT_EQ(line->port.sent.size(), 1u + 18u);
    EXPECT_EQ(ticks.Tick(1000), int(profile.openingGiveUpTick - profile.openingResendTick));
    EXPECT_FALSE(transfer.IsRunning());
    EXPECT_FALSE(ticks.Running());
    EXPECT_EQ(line->windows.reports,
              QStringList{ctrl::ExplainAbandon(ctrl::kNoAnswerMessage, {0, 0, 1, 0, -1})});
    EXPECT_FALSE(line->port.IsOpen());
    EXPECT_EQ(source.closes, 1);
}

}  // namespace
