#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <QtTest/qtestsystem.h>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "downloads/DownloadRecord.h"
#include "link/ControllerSession.h"
#include "link/LinkMessages.h"
#include "link/TimedTransfer.h"
#include "tests/link/PtyPair.h"
#include "tests/support/EmulatedLine.h"
#include "tests/support/Patience.h"
#include "tests/support/Portable.h"

namespace {

const QString kLost = msg::QText(msg::Id::LineLost);

class CountedSource : public ctrl::DownloadSource {
public:
    void BuildHeaderPacket(ctrl::Packet& packet) override { packet.fill(1); }
    bool NextDataPacket(ctrl::Packet& packet) override {
        packet.fill(2);
        return ++sent < 50;
    }
    void CloseSource() override { ++closes; }
    int sent = 0;
    int closes = 0;
};

void Write(const PtyPair& pty, std::vector<std::uint8_t> bytes) {
    ASSERT_TRUE(portable::WriteAll(pty.master, bytes.data(), bytes.size()));
}

enum class Stage { Handshake, Connected, Opening, Data };

// The session, and a transfer when the stage has one, on a pty whose far end the test closes.
class LineLostTest : public ::testing::TestWithParam<Stage> {
protected:
    LineLostTest() {
        port.portPath = QString::fromStdString(pty.slavePath);
        session.ViewUpdate();  // the session's own 500 ms tick runs, as in the application
    }

    void Handshake() {
        session.Connect(port.portPath);
        Write(pty, {ctrl::kHandshakeByte});
        ASSERT_TRUE(QTest::qWaitFor([&] { return port.QueuedBytes() > 0; }, 2000));
        session.Tick();
        ASSERT_TRUE(session.connected);
    }
    void StartTransfer() {
        transfer = std::make_unique<ctrl::TimedTransfer>(port, profile, source, windows);
        transfer->Start();
    }

    const ctrl::TransferProfile& profile = ctrl::kProgramProfile;
    PtyPair pty;
    CSerialPort port;
    QStringList shown;
    ctrl::ControllerSession session{port, [this](const QString& m) { shown << m; }};
    CountedSource source;
    testsupport::RecordedWindows windows;
    std::unique_ptr<ctrl::TimedTransfer> transfer;
};

TEST_P(LineLostTest, EndsTheSessionWithinOneSecondInAnyState) {
    ASSERT_FALSE(pty.slavePath.empty());
    std::int32_t expected = ctrl::LINK_HANDSHAKE;
    switch (GetParam()) {
        case Stage::Handshake:
            session.Connect(port.portPath);
            break;
        case Stage::Connected:
            Handshake();
            expected = ctrl::LINK_READY;
            break;
        case Stage::Opening:
            Handshake();
            StartTransfer();
            expected = ctrl::LINK_OPENING;
            break;
        case Stage::Data:
            Handshake();
            StartTransfer();
            Write(pty, {profile.startByte, profile.headerByte});
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return port.sessionState == ctrl::LINK_DATA; }, 2000));
            expected = ctrl::LINK_DATA;
            break;
    }
    ASSERT_EQ(port.sessionState, expected);

    QElapsedTimer clock;
    clock.start();
    pty.CloseMaster();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !shown.isEmpty() && (!transfer || !transfer->IsRunning()); },
                        int(testsupport::kNoticeBound.count())));
    RecordProperty("noticedMs", static_cast<int>(clock.elapsed()));
    EXPECT_EQ(shown, QStringList{kLost});
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(session.lineLost);
    EXPECT_TRUE(session.IsEnabled(ctrl::LinkCommand::Connect));
    EXPECT_EQ(port.sessionState, ctrl::LINK_IDLE);
    EXPECT_FALSE(port.IsOpen());
    if (transfer) {
        EXPECT_TRUE(transfer->Engine().LineLost());
        ctrl::DownloadRecord record;
        record.Take(transfer->Engine());
        EXPECT_EQ(record.outcome, ctrl::RecordOutcome::Lost);
        EXPECT_TRUE(windows.ended);
        EXPECT_TRUE(windows.reports.isEmpty());
        EXPECT_EQ(source.closes, 1);
    }
    // Nothing more is said while the session's tick goes on.
    QTest::qWait(600);
    EXPECT_EQ(shown, QStringList{kLost});
}

INSTANTIATE_TEST_SUITE_P(States, LineLostTest,
                         ::testing::Values(Stage::Handshake, Stage::Connected, Stage::Opening,
                                           Stage::Data));

// Why a port would not open, from what the system said.
TEST(OpenFailureTest, TheReasonIsKnownForMissingBusyAndForbiddenPorts) {
    PtyPair pty;
    CSerialPort holder;
    holder.portPath = QString::fromStdString(pty.slavePath);
    ASSERT_TRUE(holder.OpenConfigured());
    QTemporaryDir dir;
    const QString forbidden = dir.filePath(QStringLiteral("ttyForbidden"));
    QFile(forbidden).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::setPermissions(forbidden, QFileDevice::Permissions()));
    const std::string own = portable::GroupName();

    const struct {
        QString path;
        ctrl::OpenFailureReason reason;
        QString group;
    } rows[] = {
        {dir.filePath(QStringLiteral("ttyMissing")), ctrl::OpenFailureReason::NotFound, {}},
        {holder.portPath, ctrl::OpenFailureReason::Busy, {}},
        {forbidden, ctrl::OpenFailureReason::Permission, QString::fromLocal8Bit(own.c_str())},
    };
    for (const auto& row : rows) {
        // Root opens any file: the permission row then says nothing.
        if (row.reason == ctrl::OpenFailureReason::Permission && portable::IsRoot())
            continue;
        CSerialPort port;
        port.portPath = row.path;
        EXPECT_FALSE(port.OpenConfigured()) << row.path.toStdString();
        const ctrl::OpenFailure why = port.LastOpenFailure();
        EXPECT_EQ(why.reason, row.reason) << row.path.toStdString();
        EXPECT_EQ(why.device, row.path);
        EXPECT_EQ(why.group, row.group);
    }
}

}  // namespace

// The ledger's word is a stored format; the log's word is what the user reads.
TEST(RecordOutcomeTest, LedgerAndLogSayTheSameEnd) {
    const struct {
        ctrl::RecordOutcome outcome;
        const char* ledger;
        const char* log;
    } rows[] = {
        {ctrl::RecordOutcome::Finished, "finished", "完成"},
        {ctrl::RecordOutcome::Suspect, "suspect", "完成，但有异常应答"},
        {ctrl::RecordOutcome::Abandoned, "abandoned", "控制器无应答"},
        {ctrl::RecordOutcome::Lost, "lost", "串口已断开"},
        {ctrl::RecordOutcome::Stopped, "stopped", "已停止"},
    };
    for (const auto& row : rows) {
        auto record = ctrl::DownloadRecord::Of("program", 3, "a.kxo", "/dev/ttyUSB0");
        record.outcome = row.outcome;
        EXPECT_TRUE(ctrl::LedgerLine(record).contains(QByteArray("\"outcome\":\"") + row.ledger))
            << row.ledger;
        EXPECT_TRUE(ctrl::LogLine(record).endsWith(QString::fromUtf8(row.log) + u'。'))
            << row.ledger;
    }
}
