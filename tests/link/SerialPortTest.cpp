#include <gtest/gtest.h>
#include <termios.h>

#include <vector>

#include <QtTest/qtestsystem.h>
#include <QString>

#include "link/SerialPort.h"
#include "tests/link/PtyPair.h"
#include "tests/support/Portable.h"

namespace {

// The pty delivers written bytes to the other end asynchronously; give them a moment.
std::vector<std::uint8_t> ReadMaster(int fd, std::size_t want, int ms = 2000) {
    std::vector<std::uint8_t> got;
    (void)QTest::qWaitFor(
        [&] {
            std::uint8_t buf[512];
            while (got.size() < want && portable::Readable(fd, std::chrono::milliseconds(0))) {
                const long n = portable::ReadSome(fd, buf, sizeof buf);
                if (n <= 0)
                    break;
                got.insert(got.end(), buf, buf + n);
            }
            return got.size() >= want;
        },
        ms);
    return got;
}

class SerialPortTest : public ::testing::Test {
protected:
    SerialPortTest() { port.portPath = QString::fromStdString(pty.slavePath); }

    termios LineSettings() const {
        termios tio{};
        tcgetattr(pty.slave, &tio);
        return tio;
    }
    void WriteMaster(std::vector<std::uint8_t> bytes) {
        ASSERT_TRUE(portable::WriteAll(pty.master, bytes.data(), bytes.size()));
    }

    PtyPair pty;
    CSerialPort port;
};

TEST(SerialPortNamingTest, PortNumbersNameTheStandardSerialDevices) {
    EXPECT_EQ(CSerialPort::DeviceName(1), "/dev/ttyS0");
    EXPECT_EQ(CSerialPort::DeviceName(4), "/dev/ttyS3");
    EXPECT_EQ(CSerialPort::DeviceName(0), "/dev/ttyS-1");  // "COM" alone: no such device
}

TEST_F(SerialPortTest, OpensWithTheBaudRateAndEightDataBits) {
    ASSERT_FALSE(pty.slavePath.empty());
    ASSERT_TRUE(port.Open(1, 19200));
    const termios tio = LineSettings();
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
}

TEST_F(SerialPortTest, StopBitsAndFlowControlStayAsThePortHadThem) {
    for (tcflag_t habits : {tcflag_t(CSTOPB | CRTSCTS), tcflag_t(0)}) {
        termios tio = LineSettings();
        tio.c_cflag = (tio.c_cflag & ~tcflag_t(CSTOPB | CRTSCTS)) | habits;
        ASSERT_EQ(tcsetattr(pty.slave, TCSANOW, &tio), 0);
        ASSERT_TRUE(port.OpenConfigured());
        EXPECT_EQ(LineSettings().c_cflag & (CSTOPB | CRTSCTS), habits);
        port.Close();
    }
}

// What a process killed while it held the port leaves behind; the pty has dropped PARENB.
TEST_F(SerialPortTest, PortLeftByAKilledProcessOpensAndGetsItsSettingsBack) {
    termios left = LineSettings();
    left.c_cflag = (left.c_cflag & ~tcflag_t(PARENB)) | PARODD | CLOCAL;
    left.c_iflag |= IGNPAR;
    ASSERT_EQ(tcsetattr(pty.slave, TCSANOW, &left), 0);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(port.Open(1, 9600)) << "round " << round;
        const termios open = LineSettings();
        EXPECT_EQ(cfgetospeed(&open), speed_t(B9600));
        EXPECT_EQ(open.c_cflag & CSIZE, tcflag_t(CS8));
        std::vector<std::uint8_t> bytes = {1, 136};
        EXPECT_EQ(port.Send(bytes.data(), 2), 2);
        EXPECT_EQ(ReadMaster(pty.master, 2), bytes);
        port.Close();
        const termios after = LineSettings();
        EXPECT_EQ(after.c_cflag, left.c_cflag) << "the settings it had are put back";
        EXPECT_EQ(after.c_iflag, left.c_iflag);
    }
}

TEST_F(SerialPortTest, OpenOnAnOpenPortChangesNothing) {
    ASSERT_TRUE(port.Open(1, 9600));
    port.portPath = "/dev/tarvex-no-such-device";
    EXPECT_TRUE(port.Open(7, 4800));
    EXPECT_TRUE(port.IsOpen());
    const termios tio = LineSettings();
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B9600));
}

TEST_F(SerialPortTest, MissingDeviceDoesNotOpen) {
    port.portPath = "/dev/tarvex-no-such-device";
    EXPECT_FALSE(port.OpenConfigured());
    EXPECT_FALSE(port.IsOpen());
    port.portPath.clear();
    EXPECT_FALSE(port.Open(0, 4800));  // the text "COM" gives port 0
}

TEST_F(SerialPortTest, EveryByteValuePassesUnchanged) {
    ASSERT_TRUE(port.OpenConfigured());
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = std::uint8_t(i);
    EXPECT_EQ(port.Send(all.data(), 256), 256);
    EXPECT_EQ(ReadMaster(pty.master, 256), all);
}

TEST_F(SerialPortTest, ReceiveTakesOnlyWhatItIsAskedForAndWhatArrived) {
    ASSERT_TRUE(port.OpenConfigured());
    EXPECT_EQ(port.QueuedBytes(), 0);
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(port.Receive(buffer, 8), 0);
    WriteMaster({7, 8, 9});
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.QueuedBytes() == 3; }));
    EXPECT_EQ(port.Receive(buffer, 1), 1);
    EXPECT_EQ(buffer[0], 7);
    EXPECT_EQ(port.QueuedBytes(), 2);
    EXPECT_EQ(port.Receive(buffer, 8), 2) << "only the bytes that are there";
    EXPECT_EQ(buffer[0], 8);
    EXPECT_EQ(buffer[1], 9);
}

TEST_F(SerialPortTest, ClosedPortSendsAndReceivesNothing) {
    const std::uint8_t byte = 1;
    std::uint8_t buffer[1];
    EXPECT_EQ(port.Send(&byte, 1), 0);
    EXPECT_EQ(port.QueuedBytes(), 0);
    EXPECT_EQ(port.Receive(buffer, 1), 0);
    EXPECT_TRUE(port.Close());
    ASSERT_TRUE(port.OpenConfigured());
    EXPECT_TRUE(port.Close());
    EXPECT_EQ(port.Send(&byte, 1), 0);
    EXPECT_TRUE(ReadMaster(pty.master, 1, 100).empty());
}

TEST_F(SerialPortTest, SecondPortOnTheSameDeviceIsRefused) {
    ASSERT_TRUE(port.OpenConfigured());
    const termios held = LineSettings();
    CSerialPort other;
    other.portPath = port.portPath;
    EXPECT_FALSE(other.OpenConfigured());
    const termios after = LineSettings();
    EXPECT_EQ(after.c_cflag, held.c_cflag) << "the holder's settings are left alone";
    EXPECT_EQ(after.c_iflag, held.c_iflag);
}

TEST_F(SerialPortTest, HangUpClosesThePortInsteadOfSpinning) {
    ASSERT_TRUE(port.OpenConfigured());
    pty.CloseMaster();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        port.QueuedBytes();
        return !port.IsOpen();
    }));
    const std::uint8_t byte = 1;
    EXPECT_EQ(port.Send(&byte, 1), 0);
}

}  // namespace
