#include <gtest/gtest.h>
#include <sys/resource.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

#include "emulator/PtyServer.h"
#include "link/ControllerSession.h"
#include "link/LinkMessages.h"
#include "link/SerialPort.h"
#include "link/TimedTransfer.h"

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

class Windows : public ctrl::TransferListener {
public:
    void ProgressMoved(int position) override { lastPosition = position; }
    void WindowsClosed() override { closed = true; }
    void Report(const QString& message) override { reports << message; }
    int lastPosition = 0;
    bool closed = false;
    QStringList reports;
};

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool RunEventsUntil(const std::function<bool()>& done, int ms) {
    QTimer wake;  // looks at `done` now and then even when nothing else happens
    wake.start(20);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The virtual controller on its own thread, behind a real pseudo-terminal.
class EndToEndTest : public ::testing::Test {
protected:
    void Serve(emu::Faults faults = {}, int hangUpAfter = -1) {
        controller = std::make_unique<emu::VirtualController>(faults);
        server = std::make_unique<emu::PtyServer>(*controller);
        std::string error;
        ASSERT_TRUE(server->Open(error)) << error;
        server->HangUpAfterFrames(hangUpAfter);
        thread = std::thread([this] { server->Serve(); });
        port.portPath = QString::fromStdString(server->DevicePath());
        port.baudRate = 19200;
    }
    void Connect() {
        session.ViewUpdate();
        session.Connect(port.portPath);
        ASSERT_TRUE(RunEventsUntil([&] { return session.connected; }, 3000));
    }
    // Runs a program download with the real timer until its windows close.
    void Download(PacketSource& source, const ctrl::TransferProfile& profile, int limitMs) {
        ctrl::TimedTransfer transfer(port, profile, source, windows);
        transfer.Start();
        transfer.Engine().SetProgressRange(static_cast<int>(source.data.size()));
        ASSERT_TRUE(RunEventsUntil([&] { return windows.closed; }, limitMs));
    }
    ~EndToEndTest() override {
        port.Close();
        if (thread.joinable()) {
            server->RequestStop();
            thread.join();
        }
    }

    CSerialPort port;
    QStringList shown;
    ctrl::ControllerSession session{port, [this](const QString& m) { shown << m; }};
    Windows windows;
    std::unique_ptr<emu::VirtualController> controller;
    std::unique_ptr<emu::PtyServer> server;
    std::thread thread;
};

TEST_F(EndToEndTest, ProgramReachesTheControllerByteForByteAndTheSessionGoesOn) {
    Serve();
    Connect();
    PacketSource source(40);
    Download(source, ctrl::kProgramProfile, 10000);
    EXPECT_TRUE(windows.reports.isEmpty());
    EXPECT_EQ(port.sessionState, ctrl::LINK_READY);
    EXPECT_EQ(windows.lastPosition, 39);
    EXPECT_TRUE(port.IsOpen());
    session.Disconnect();
    ASSERT_TRUE(RunEventsUntil([&] { return controller->Farewells() == 1; }, 2000));
    ASSERT_EQ(controller->Completed().size(), 1u);
    EXPECT_EQ(controller->Completed()[0].ProgramNumber(), 42);
    EXPECT_EQ(controller->Completed()[0].data, source.Bytes());
}

TEST_F(EndToEndTest, ResendRequestsNoiseAndWrongHandshakeBytesDoNotDisturbTheTransfer) {
    emu::Faults faults;
    faults.handshakePrefix = {7, 3};
    faults.resendEvery = 3;
    faults.noise = {0x00, 0x77};
    Serve(faults);
    Connect();
    PacketSource source(6);
    Download(source, ctrl::kScreenProfile, 20000);
    EXPECT_TRUE(windows.reports.isEmpty());
    EXPECT_EQ(port.sessionState, ctrl::LINK_READY);
    ASSERT_TRUE(RunEventsUntil([&] { return controller->Completed().size() == 1; }, 2000));
    EXPECT_EQ(controller->Completed()[0].data, source.Bytes());
}

TEST_F(EndToEndTest, HangUpMidTransferEndsWithNoAnswerAndAClosedPort) {
    Serve({}, 6);  // start, header and four data frames, then the line goes dead
    Connect();
    PacketSource source(30);
    // The program column with its ticks scaled down by ten, to keep the test short.
    ctrl::TransferProfile quick = ctrl::kProgramProfile;
    quick.dataResendTick = 10;
    quick.dataGiveUpTick = 80;
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = ThreadCpuSeconds();
    Download(source, quick, 10000);
    // A vanished device must not leave the port spinning on its errors until the give-up tick.
    EXPECT_LT(ThreadCpuSeconds() - cpuBefore, 0.25 * clock.elapsed() / 1000.0);
    EXPECT_EQ(windows.reports, QStringList{ctrl::kNoAnswerMessage});
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.sessionState, ctrl::LINK_IDLE);
    EXPECT_EQ(source.closes, 1);
    EXPECT_LT(clock.elapsed(), 5000);
    session.Tick();
    EXPECT_FALSE(session.connected);
    EXPECT_TRUE(session.IsEnabled(ctrl::LinkCommand::Connect));
}

TEST_F(EndToEndTest, SilentControllerFailsTheHandshake) {
    emu::Faults faults;
    faults.neverAnswer = true;
    Serve(faults);
    session.Connect(port.portPath);
    for (int i = 0; i < 20; ++i)
        session.Tick();
    EXPECT_EQ(shown, QStringList{ctrl::kHandshakeFailedMessage});
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
