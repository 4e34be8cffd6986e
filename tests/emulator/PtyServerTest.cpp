#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <vector>

#include "tests/support/EmulatedLine.h"
#include "tests/support/Portable.h"

namespace {

using Clock = std::chrono::steady_clock;

// The host's end: the device the server printed, opened raw.
class Host {
public:
    explicit Host(const std::string& path) : fd(portable::OpenTerminal(path)) {}
    ~Host() { portable::Close(fd); }
    void Write(std::vector<std::uint8_t> bytes) {
        ASSERT_TRUE(portable::WriteAll(fd, bytes.data(), bytes.size()));
    }
    // Reads up to `want` bytes within `ms`; a hung-up line ends the read early.
    std::vector<std::uint8_t> Read(std::size_t want, int ms = 2000) {
        std::vector<std::uint8_t> got;
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (got.size() < want && Clock::now() < until) {
            if (!portable::Readable(fd, std::chrono::milliseconds(10)))
                continue;
            std::uint8_t b;
            if (portable::ReadSome(fd, &b, 1) != 1) {
                hungUp = true;
                break;
            }
            got.push_back(b);
        }
        return got;
    }
    int fd;
    bool hungUp = false;
};

class PtyServerTest : public ::testing::Test {
protected:
    void Serve(emu::Faults faults = {}, int hangUpAfter = -1) {
        served = std::make_unique<testsupport::ServedController>(faults, hangUpAfter);
        ASSERT_EQ(served->Error(), "");
    }
    const std::string& Device() const { return served->DevicePath(); }

    std::unique_ptr<testsupport::ServedController> served;
};

TEST_F(PtyServerTest, AnswersTheHandshakeOnItsDeviceAndStopsWhenAsked) {
    Serve();
    EXPECT_EQ(Device().rfind("/dev/pts/", 0), 0u);
    Host host(Device());
    host.Write({1});
    EXPECT_EQ(host.Read(1), std::vector<std::uint8_t>{1});
    served->Stop();
    host.Write({1});
    EXPECT_EQ(host.Read(1, 100), std::vector<std::uint8_t>{});
}

TEST_F(PtyServerTest, LateAnswersWaitForTheDelay) {
    emu::Faults faults;
    faults.answerDelayMs = 150;
    Serve(faults);
    Host host(Device());
    const auto sent = Clock::now();
    host.Write({1});
    EXPECT_EQ(host.Read(1), std::vector<std::uint8_t>{1});
    EXPECT_GE(Clock::now() - sent, std::chrono::milliseconds(140));
}

TEST_F(PtyServerTest, HangsUpAfterTheGivenNumberOfFrames) {
    Serve({}, 1);
    Host host(Device());
    host.Write({2});
    host.Read(1, 500);  // the answer may or may not beat the hang-up
    host.Read(1, 500);
    EXPECT_TRUE(host.hungUp);
}

// A packet on a line at a given rate: the 18-byte frame written at once reaches the controller
// one byte time apart, the answer leaves when its last byte is in and takes a byte time itself.
TEST(LineTiming, PacketTakesNineteenByteTimesAtEachRate) {
    using std::chrono::nanoseconds;
    const struct {
        int baud;
        long long byteNs;  // 11 bits
    } rows[] = {{4800, 2291666}, {9600, 1145833}, {19200, 572916}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.baud);
        emu::LineTiming line(row.baud);
        const Clock::time_point t0{};
        const auto ns = [&](Clock::time_point t) { return nanoseconds(t - t0).count(); };
        Clock::time_point in{};
        for (int i = 0; i < 18; ++i)
            in = line.In(t0);
        EXPECT_EQ(ns(in), 18 * row.byteNs);
        EXPECT_EQ(ns(line.Out(in)), 19 * row.byteNs);
        // A byte sent after the line went quiet starts at once; one behind another queues.
        const Clock::time_point late = t0 + std::chrono::seconds(1);
        EXPECT_EQ(ns(line.Out(late)) - ns(late), row.byteNs);
        EXPECT_EQ(ns(line.Out(late)) - ns(late), 2 * row.byteNs);
        EXPECT_EQ(ns(line.In(late)) - ns(late), row.byteNs);
    }
}

}  // namespace

namespace {
void MarkSignal(int) {}
}  // namespace

// A server that stopped on signals gives them back: the process's own handlers work again.
TEST(PtyServerSignals, HandlersAreRestoredWhenTheServerGoes) {
    const portable::SignalHandler before = portable::SetSignalHandler(SIGTERM, MarkSignal);
    {
        emu::VirtualController controller;
        emu::PtyServer server(controller);
        server.StopOnSignals();
        EXPECT_NE(portable::SignalHandlerOf(SIGTERM), &MarkSignal);
    }
    EXPECT_EQ(portable::SignalHandlerOf(SIGTERM), &MarkSignal);
    portable::SetSignalHandler(SIGTERM, before);
}
