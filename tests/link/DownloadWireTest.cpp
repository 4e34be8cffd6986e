#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "emulator/VirtualController.h"
#include "link/ParameterSource.h"
#include "link/ProgramSource.h"
#include "link/ScreenImage.h"
#include "link/ScreenSource.h"
#include "link/SerialPort.h"
#include "link/TimedTransfer.h"
#include "registers/RegisterFile.h"
#include "tests/link/PtyPair.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// The virtual controller at the far end of a pseudo-terminal, keeping every byte the host put
// on the line.
class RecordingController {
public:
    RecordingController() {
        thread = std::thread([this] { Serve(); });
    }
    ~RecordingController() {
        stop = true;
        thread.join();
    }
    Bytes Wire() {
        std::lock_guard lock(mutex);
        return wire;
    }
    std::vector<emu::Transfer> Completed() {
        std::lock_guard lock(mutex);
        return controller.Completed();
    }
    const std::string& Device() const { return pty.slavePath; }

private:
    void Serve() {
        pollfd pfd{pty.master, POLLIN, 0};
        while (!stop) {
            if (poll(&pfd, 1, 10) <= 0)
                continue;
            std::uint8_t buffer[256];
            const ssize_t n = read(pty.master, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                Bytes answer;
                {
                    std::lock_guard lock(mutex);
                    wire.push_back(buffer[i]);
                    answer = controller.Feed(buffer[i]);
                }
                if (!answer.empty() && write(pty.master, answer.data(), answer.size()) < 0)
                    return;
            }
        }
    }

    PtyPair pty;
    emu::VirtualController controller;
    std::mutex mutex;
    Bytes wire;
    std::atomic<bool> stop = false;
    std::thread thread;
};

class Windows : public ctrl::TransferListener {
public:
    void ProgressMoved(int p) override { position = p; }
    void WindowsClosed() override { closed = true; }
    void Report(const QString& m) override { messages.push_back(m.toStdString()); }
    int position = 0;
    bool closed = false;
    std::vector<std::string> messages;
};

void Append(Bytes& to, std::initializer_list<int> bytes) {
    for (int b : bytes)
        to.push_back(static_cast<std::uint8_t>(b));
}

// One frame as it goes on the line.
void Frame(Bytes& to, int command, const Bytes& payload, int trailer) {
    ASSERT_EQ(payload.size(), 16u);
    to.push_back(static_cast<std::uint8_t>(command));
    to.insert(to.end(), payload.begin(), payload.end());
    to.push_back(static_cast<std::uint8_t>(trailer));
}

Bytes Slice(const std::string& s, std::size_t from, std::size_t count) {
    return Bytes(s.begin() + from, s.begin() + from + count);
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Word(int value) {
    return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes Zeros(std::size_t n) {
    return Bytes(n, 0);
}

Bytes Value(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
}

class DownloadWireTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tarvex-wire-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        port.portPath = QString::fromStdString(line.Device());
        port.baudRate = 19200;
        ASSERT_TRUE(port.OpenConfigured());
        port.sessionState = ctrl::LINK_READY;
    }
    void TearDown() override {
        port.Close();
        fs::remove_all(folder);
    }
    fs::path Write(const std::string& bytes, const char* name) {
        const fs::path p = folder / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    // Runs one transfer with the real timer; `periodMs` other than the profile's only makes the
    // long cases quicker, the bytes do not depend on it.
    void Run(ctrl::DownloadSource& source, ctrl::TransferProfile profile, int range,
             int periodMs = 0) {
        if (periodMs > 0)
            profile.periodMs = periodMs;
        const std::size_t completedBefore = line.Completed().size();
        ctrl::TimedTransfer transfer(port, profile, source, windows);
        transfer.Start();
        transfer.Engine().SetProgressRange(range);
        QTimer wake;
        wake.start(20);
        QElapsedTimer clock;
        clock.start();
        while (!windows.closed && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ASSERT_TRUE(windows.closed);
        EXPECT_TRUE(windows.messages.empty());
        EXPECT_EQ(port.sessionState, ctrl::LINK_READY);
        // The end byte is the last thing written; give it time to arrive.
        while (line.Completed().size() == completedBefore && clock.elapsed() < 62000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }

    RecordingController line;
    CSerialPort port;
    Windows windows;
    fs::path folder;
};

std::string Records(int count) {
    std::string r;
    for (int i = 0; i < count * 24; ++i)
        r += static_cast<char>(0x30 + i);
    return r;
}

TEST_F(DownloadWireTest, ProgramOfOneRecord) {
    const std::string records = Records(1);
    ctrl::ProgramSource source;
    source.programNumber = 12;
    ASSERT_EQ(source.Open(Write(std::string(ctrl::kObjectHeader) + records, "one.kxo")),
              ctrl::SourceOpen::Opened);
    Run(source, ctrl::kProgramProfile, source.PacketCount());
    Bytes want;
    Append(want, {2});
    Frame(want, 18, Concat(Word(12), Zeros(14)), 85);
    Frame(want, 3, Slice(records, 0, 16), 85);
    Frame(want, 3, Concat(Slice(records, 16, 8), Slice(records, 8, 8)), 85);
    Append(want, {4});
    EXPECT_EQ(line.Wire(), want);
    EXPECT_EQ(windows.position, 1);
}

TEST_F(DownloadWireTest, ProgramOfThreeRecordsEndsWithAPieceFilledFromThePreviousPacket) {
    const std::string records = Records(3);
    ctrl::ProgramSource source;
    source.programNumber = 300;
    ASSERT_EQ(source.Open(Write(std::string(ctrl::kObjectHeader) + records, "three.kxo")),
              ctrl::SourceOpen::Opened);
    ASSERT_EQ(source.PacketCount(), 5);
    Run(source, ctrl::kProgramProfile, source.PacketCount());
    Bytes want;
    Append(want, {2});
    Frame(want, 18, Concat(Word(300), Zeros(14)), 85);
    for (std::size_t at = 0; at < 64; at += 16)
        Frame(want, 3, Slice(records, at, 16), 85);
    Frame(want, 3, Concat(Slice(records, 64, 8), Slice(records, 56, 8)), 85);
    Append(want, {4});
    EXPECT_EQ(line.Wire(), want);
    ASSERT_EQ(line.Completed().size(), 1u);
    EXPECT_EQ(line.Completed()[0].ObjectRecords(), records);
}

TEST_F(DownloadWireTest, HeaderOnlyProgramIsAnsweredByTheEndByte) {
    ctrl::ProgramSource source;
    source.programNumber = -1;
    ASSERT_EQ(source.Open(Write(std::string(ctrl::kObjectHeader), "empty.kxo")),
              ctrl::SourceOpen::Opened);
    Run(source, ctrl::kProgramProfile, source.PacketCount());
    Bytes want;
    Append(want, {2});
    Frame(want, 18, Concat(Word(0xFFFF), Zeros(14)), 85);
    Append(want, {4});
    EXPECT_EQ(line.Wire(), want);
}

std::string RegisterFileText(const std::vector<std::int32_t>& values) {
    std::string text = std::string(registers::kIdentification) + "\r\n";
    for (std::size_t k = 0; k < values.size(); ++k)
        text += registers::RegisterLine(static_cast<int>(k), std::to_string(values[k])) + "\r\n";
    return text;
}

TEST_F(DownloadWireTest, SixRegisterLinesMakeTwoPacketsPaddedWithZeros) {
    ctrl::ParameterSource source;
    source.pageNumber = 1;
    ASSERT_EQ(source.Open(Write(RegisterFileText({-25, 250, 1, 2, 3, 4}), "six.dat")),
              ctrl::SourceOpen::Opened);
    Run(source, ctrl::kParameterProfile, ctrl::ParameterSource::kPacketCount);
    Bytes want;
    Append(want, {5});
    Frame(want, 21, Concat(Word(1), Zeros(14)), 85);
    Frame(want, 6, Concat(Concat(Value(-25), Value(250)), Concat(Value(1), Value(2))), 85);
    Frame(want, 6, Concat(Concat(Value(3), Value(4)), Zeros(8)), 85);
    Append(want, {7});
    EXPECT_EQ(line.Wire(), want);
}

TEST_F(DownloadWireTest, CompleteRegisterFileGoesOutAs1024Packets) {
    std::vector<std::int32_t> values;
    for (int k = 0; k < registers::kRegisterCount; ++k)
        values.push_back(k % 2 ? -k * 1000 : k);
    ctrl::ParameterSource source;
    source.pageNumber = 3;
    ASSERT_EQ(source.Open(Write(RegisterFileText(values), "full.dat")), ctrl::SourceOpen::Opened);
    Run(source, ctrl::kParameterProfile, ctrl::ParameterSource::kPacketCount, 1);
    Bytes want;
    Append(want, {5});
    Frame(want, 21, Concat(Word(3), Zeros(14)), 85);
    for (std::size_t k = 0; k < values.size(); k += 4) {
        Bytes payload;
        for (std::size_t i = 0; i < 4; ++i)
            payload = Concat(payload, Value(values[k + i]));
        Frame(want, 6, payload, 85);
    }
    Append(want, {7});
    EXPECT_EQ(line.Wire(), want);
    EXPECT_EQ(windows.position, 1023);
}

struct KindCase {
    ctrl::ScreenKind kind;
    Bytes header;
};

TEST_F(DownloadWireTest, ScreenHeadersOfTheThreeKinds) {
    const KindCase cases[] = {
        {ctrl::ScreenKind::Startup, Zeros(16)},
        {ctrl::ScreenKind::Parameter,
         Concat({0, 1, 2, 255, 0, 0, 0, 100, 15, 255, 0, 12}, Zeros(4))},
        {ctrl::ScreenKind::Status, Concat({0, 2, 2, 255}, Zeros(12))},
    };
    const std::string data(screen::kScreenDataSize, '\x5A');
    const fs::path scratch = Write(data, "dat01.dat");
    std::size_t from = 0;
    for (const KindCase& c : cases) {
        ctrl::ScreenSource source;
        source.target = {c.kind, 767, {0, 100, 4095, 12}};
        ASSERT_TRUE(source.Open(scratch));
        windows.closed = false;
        Run(source, ctrl::kScreenProfile, ctrl::ScreenSource::kPacketCount, 2);
        const Bytes wire = line.Wire();
        ASSERT_GE(wire.size(), from + 1 + 18);
        EXPECT_EQ(wire[from], 8);
        EXPECT_EQ(Bytes(wire.begin() + from + 1, wire.begin() + from + 19),
                  Concat(Concat({24}, c.header), {0}));
        from = wire.size();
    }
    EXPECT_EQ(line.Completed().size(), 3u);
}

TEST_F(DownloadWireTest, FullScreenFromABitmapWithTheScreenTiming) {
    std::string bitmap(screen::kBitmapFileSize, '\xFF');
    const std::pair<int, int> fields[] = {{0, 0x4D42}, {2, 1086}, {18, 64},  {22, 128},
                                          {26, 1},     {28, 1},   {34, 1024}};
    for (auto [at, value] : fields) {
        bitmap[at] = static_cast<char>(value & 0xFF);
        bitmap[at + 1] = static_cast<char>(value >> 8);
    }
    bitmap[62 + 127 * 8] = '\x7F';  // the top-left pixel black
    const fs::path scratch = folder / "dat01.dat";
    ASSERT_EQ(screen::CheckScreenBitmap(bitmap), screen::kBitmapOk);
    ASSERT_FALSE(screen::ConvertScreenBitmap(bitmap, scratch));
    ctrl::ScreenSource source;
    ASSERT_TRUE(source.Open(scratch));
    Run(source, ctrl::kScreenProfile, ctrl::ScreenSource::kPacketCount);
    Bytes want;
    Append(want, {8});
    Frame(want, 24, Zeros(16), 0);
    for (int g = 0; g < 64; ++g) {
        Bytes payload = Zeros(16);
        if (g == 7 * 64 / 16)
            payload[0] = 128;
        Frame(want, 9, payload, 0);
    }
    Append(want, {10});
    EXPECT_EQ(line.Wire(), want);
    EXPECT_EQ(fs::file_size(scratch), 1024u);
}

}  // namespace
