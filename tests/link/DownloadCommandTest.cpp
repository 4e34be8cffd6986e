#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>

#include <csignal>

#include <filesystem>
#include <string>
#include <vector>

#include <QtTest/qtestsystem.h>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/FileIo.h"
#include "tests/support/Patience.h"
#include "tests/support/Portable.h"
#include "tests/support/QuickGiveUp.h"
#include "tests/support/QuickTicks.h"
#include "tests/support/Samples.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ToolProcess.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ToolRun;

// `tarvex download` and `tarvex screen` against `tarvex emulate`, each a process of its own.
class DownloadCommandTest : public testsupport::TempFolder {
protected:
    DownloadCommandTest() : TempFolder("tarvex-download-cli") { fs::create_directories(Store()); }
    fs::path Store() const { return folder / "store"; }
    std::string Write(const char* name, const std::string& bytes) const {
        return TempFolder::Write(bytes, name).string();
    }
    ToolRun Tarvex(std::vector<std::string> args) const {
        return testsupport::RunTool(TARVEX_BIN, folder, std::move(args));
    }
    // The emulator serving `Store()`, and the device it printed on its first line.
    std::string StartEmulator(std::vector<std::string> faults = {}) {
        faults.insert(faults.begin(), {"--store", Store().string()});
        emulator = std::make_unique<testsupport::EmulatorProcess>(TARVEX_BIN, std::move(faults));
        return emulator->Line();
    }
    // The download ends when the end byte is on the line; the emulator files the transfer
    // a moment later (atomically), so wait for the file to appear.
    std::string Stored(const char* name) {
        const fs::path path = Store() / name;
        EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(path); }, 10000)) << name;
        std::string bytes;
        EXPECT_TRUE(fileio::ReadWholeFile(path, bytes)) << name;
        return bytes;
    }

    std::unique_ptr<testsupport::EmulatorProcess> emulator;
};

TEST_F(DownloadCommandTest, ProgramParametersAndScreenReachTheEmulator) {
    // The ledger goes to the data folder, here the test's own.
    const std::string data = (folder / "data").string();
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string device = StartEmulator();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    std::string records;
    for (int i = 0; i < 72; ++i)
        records += static_cast<char>(i * 3);
    const std::string object = Write("p.kxo", "This is RVL412E.kxo!" + records);
    // Records without END: sent only when forced.
    ToolRun run = Tarvex({"download", "program", object, "--port", device, "--baud", "19200",
                          "--number", "300", "--force"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("5/5 packets"), std::string::npos) << run.err;
    EXPECT_EQ(Stored("program-300.kxo"), "This is RVL412E.kxo!" + records);

    const std::string params = Write("r.dat",
                                     "This is Par.dat for RVL412E. By RSE.\n[S0000] = 7\n"
                                     "[S0001] = -25\n");
    run = Tarvex({"download", "params", params, "--port", device, "--page", "2"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(Stored("parameters-page-002.dat").find("[S0001] = -25\r\n[S0002] = 0\r\n"),
              std::string::npos);

    const std::string bitmap = Write("s.bmp", testsupport::ScreenBitmap());
    const std::string scratch = (folder / "dat01.dat").string();
    run = Tarvex({"download", "screen", bitmap, "--port", device, "--kind", "parameter", "--number",
                  "5", "--registers", "1,2,3,4095", "--scratch", scratch});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.err.find("64/64 packets"), std::string::npos) << run.err;
    const std::string pbm = Stored("screen-parameter-005.pbm");
    EXPECT_EQ(pbm.substr(0, 10), "P4\n64 128\n");
    EXPECT_EQ(static_cast<unsigned char>(pbm[10]), 0x80);  // the top-left pixel

    // One ledger line per download: what was sent, to which port, and how it ended.
    std::string ledger;
    ASSERT_TRUE(fileio::ReadWholeFile(fs::path(data) / "Tarvex620B" / "downloads.jsonl", ledger));
    const QList<QByteArray> lines = QByteArray::fromStdString(ledger).split('\n');
    ASSERT_EQ(lines.size(), 4);
    const QJsonObject program = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(program["kind"].toString(), "program");
    EXPECT_EQ(program["number"].toInt(), 300);
    EXPECT_EQ(program["port"].toString().toStdString(), device);
    EXPECT_EQ(program["outcome"].toString(), "finished");
    EXPECT_EQ(program["sha256"].toString().toLatin1(),
              QCryptographicHash::hash(QByteArray::fromStdString("This is RVL412E.kxo!" + records),
                                       QCryptographicHash::Sha256)
                  .toHex());
    EXPECT_EQ(QJsonDocument::fromJson(lines[1]).object()["kind"].toString(), "params");
    EXPECT_EQ(QJsonDocument::fromJson(lines[2]).object()["size"].toInt(), 1024);
    ::unsetenv("XDG_DATA_HOME");

    // The stand-alone conversion writes the same screen data.
    run = Tarvex({"screen", bitmap, "-o", (folder / "again.dat").string()});
    EXPECT_EQ(run.status, 0);
    std::string first, second;
    ASSERT_TRUE(fileio::ReadWholeFile(scratch, first));
    ASSERT_TRUE(fileio::ReadWholeFile(folder / "again.dat", second));
    EXPECT_EQ(first.size(), 1024u);
    EXPECT_EQ(first, second);
}

// A record that cannot join the ledger (here a pipe nobody reads sits at its place) is said, and
// the download that went well ends with its own exit status instead of passing unnoticed.
TEST_F(DownloadCommandTest, ARecordThatCannotBeWrittenIsSaidWithItsOwnExitStatus) {
    const testsupport::QuickTicks ticks;
    const fs::path data = folder / "data";
    const fs::path ledger = data / "Tarvex620B" / "downloads.jsonl";
    fs::create_directories(ledger.parent_path());
    ASSERT_EQ(::mkfifo(ledger.c_str(), 0600), 0);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string device = StartEmulator();
    const std::string object = Write("p.kxo", "This is RVL412E.kxo!" + std::string(72, '\x01'));
    const ToolRun run = Tarvex({"download", "program", object, "--port", device, "--baud", "19200",
                                "--number", "301", "--force"});
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(run.status, 9) << run.out << run.err;
    EXPECT_NE(run.err.find(ledger.string()), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("5/5 packets"), std::string::npos) << run.err;
    EXPECT_EQ(Stored("program-301.kxo").size(), 92u);
}

TEST_F(DownloadCommandTest, RefusalsComeBeforeTheLineIsTouched) {
    const std::string bitmap = Write("s.bmp", testsupport::ScreenBitmap());
    const std::string shortBitmap = Write("short.bmp", testsupport::ScreenBitmap().substr(0, 1085));
    const std::string badObject = Write("bad.kxo", "This is RVL412E.kxo?");
    const std::string params = Write("p.dat", "This is Par.dat for RVL412E. By RSE.\n");
    const std::string noEnd = Write("cut.kxo", "This is RVL412E.kxo!" + std::string(48, '\x02'));
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"download", "screen", bitmap, "--port", "/dev/none", "--kind", "status", "--number",
          "768"},
         1,
         "液晶画面序号超限！\n"},
        {{"download", "screen", "/no/such.bmp", "--port", "/dev/none", "--kind", "parameter",
          "--registers", "0,0,0,4096"},
         1,
         "参数序号超限！\n"},
        {{"download", "program", badObject, "--port", "/dev/none"}, 1, "文件格式错误！\n"},
        {{"download", "program", noEnd, "--port", "/dev/none"},
         1,
         "目标程序不以 END 结束，可能是编译失败留下的文件。\n"},
        {{"download", "params", "/no/such.dat", "--port", "/dev/none"},
         4,
         "不能打开文件:/no/such.dat !\n"},
        {{"download", "program", (folder / "p.kxo").string(), "--port", "/dev/none"},
         4,
         "不能打开文件:" + (folder / "p.kxo").string() + " !\n"},
        {{"download", "screen", bitmap, "--port", "/dev/none", "--scratch", "/no/dir/dat01.dat"},
         3,
         "不能生成文件： /no/dir/dat01.dat ！\n"},
        {{"download", "screen", shortBitmap, "--port", "/dev/none"},
         1,
         "文件格式错误: File Size ERR!!!\n"
         "需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。\n"},
        {{"screen", shortBitmap, "-o", (folder / "x.dat").string()},
         1,
         "文件格式错误: File Size ERR!!!\n"
         "需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。\n"},
        {{"download", "program", bitmap, "--port", "/dev/none/tty"}, 1, "文件格式错误！\n"},
        {{"download", "params", bitmap}, 64, ""},
        {{"download", "screen", bitmap, "--port", "/dev/none", "--kind", "splash"}, 64, ""},
        {{"download", "screen", bitmap, "--port", "/dev/none", "--registers", "1,2,3"}, 64, ""},
        // A port must be named so that no other device is opened in its place.
        {{"download", "program", bitmap, "--port", "ttyUSB0"}, 64, ""},
        {{"download", "program", bitmap, "--port", "COM99999999999"}, 64, ""},
        // A USB adapter named by identity that is not plugged in: no other device is opened.
        {{"download", "params", params, "--port", "usb:ffff:fffe:NONE"},
         5,
         "串口 usb:ffff:fffe:NONE 打开失败\n原因：找不到 usb:ffff:fffe:NONE。\n"
         "处理：检查串口名称和连接线，或在串口设置中重新选择串口。\n"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Tarvex(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[1] << " " << c.args[2] << run.err;
        EXPECT_EQ(run.out, c.out);
    }
    const ToolRun noPort = Tarvex({"download", "screen", bitmap, "--port", "/dev/none", "--scratch",
                                   (folder / "ok.dat").string()});
    EXPECT_EQ(noPort.status, 5);
    EXPECT_EQ(noPort.out,
              "串口 /dev/none 打开失败\n原因：找不到 /dev/none。\n"
              "处理：检查串口名称和连接线，或在串口设置中重新选择串口。\n");
}

TEST_F(DownloadCommandTest, ControllerThatStopsAnsweringEndsWithItsMessage) {
    const testsupport::QuickTicks ticks;
    const testsupport::QuickGiveUp quick;
    const std::string device = StartEmulator({"--stop-after", "3"});
    std::string records(24 * 10, '\x01');
    const std::string object = Write("p.kxo", "This is RVL412E.kxo!" + records);
    const ToolRun run = Tarvex({"download", "program", object, "--port", device, "--force"});
    EXPECT_EQ(run.status, 6) << run.err;
    // Answers came, then silence: the cause is the controller that stopped.
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), "控制器无应答！\n");
    EXPECT_NE(run.out.find("控制器中途停止应答"), std::string::npos) << run.out;
    EXPECT_TRUE(fs::is_empty(Store()));
}

// The virtual controller's line goes dead mid-transfer: the download ends at once, not at the
// give-up tick, with its own message and status.
TEST_F(DownloadCommandTest, LostLineEndsTheDownloadWithExitSeven) {
    const testsupport::QuickTicks ticks;
    const std::string device = StartEmulator({"--hang-up-after", "3"});
    const std::string object =
        Write("p.kxo", "This is RVL412E.kxo!" + std::string(24 * 10, '\x01'));
    QElapsedTimer clock;
    clock.start();
    const ToolRun run = Tarvex({"download", "program", object, "--port", device, "--force"});
    EXPECT_EQ(run.status, 7) << run.err;
    EXPECT_EQ(run.out, "串口已断开！\n");
    EXPECT_LT(clock.elapsed(), testsupport::kNoticeBound.count())
        << "the data give-up tick alone is 8 s";
}

// A resend request that the controller never made (a noise byte) makes it keep packets twice:
// the download says so and exits 8; requests the controller did make leave no doubt.
TEST_F(DownloadCommandTest, StrayResendRequestsMakeTheDownloadSayTheDataMayBeWrong) {
    const testsupport::QuickTicks ticks;
    const std::string object = Write("p.kxo", "This is RVL412E.kxo!" + std::string(96, '\x03'));
    const struct {
        std::vector<std::string> faults;
        int status;
        bool warned;
    } rows[] = {{{"--noise", "90"}, 8, true}, {{"--resend-every", "2"}, 0, false}};
    for (const auto& row : rows) {
        const std::string device = StartEmulator(row.faults);
        const ToolRun run = Tarvex({"download", "program", object, "--port", device, "--force"});
        EXPECT_EQ(run.status, row.status) << row.faults[0] << run.err;
        EXPECT_EQ(run.out.find("个异常应答，控制器中的数据可能不完整，请重新下载并核对。\n") !=
                      std::string::npos,
                  row.warned)
            << run.out;
    }
}

// A download stopped by a signal puts the port back as it found it, so the next one runs.
TEST_F(DownloadCommandTest, SignalledDownloadStopsAndLeavesThePortUsable) {
    const testsupport::QuickTicks ticks;
    const std::string device = StartEmulator({"--delay", "100"});
    const std::string object =
        Write("long.kxo", "This is RVL412E.kxo!" + std::string(24 * 40, '\x05'));
    const std::string small = Write("p.kxo", "This is RVL412E.kxo!" + std::string(24, '\x07'));
    const fs::path errPath = folder / "signalled.err";
    for (const auto& [signal, status] : {std::pair{SIGTERM, 143}, std::pair{SIGINT, 130}}) {
        portable::Process download;
        ASSERT_TRUE(download.Start(TARVEX_BIN,
                                   {"download", "program", object, "--port", device, "--force"},
                                   folder / "signalled.out", errPath));
        // Under way: a tenth of the packets were answered.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                std::string progress;
                return fileio::ReadWholeFile(errPath, progress) &&
                       progress.find(" 6/60 ") != std::string::npos;
            },
            10000));
        download.Signal(signal);
        const portable::Ending ending = download.Wait();
        ASSERT_EQ(ending.signal, 0) << "killed by signal " << ending.signal;
        EXPECT_EQ(ending.code, status);

        const int fd = portable::OpenTerminal(device, false, true);
        ASSERT_GE(fd, 0);
        termios tio{};
        ASSERT_EQ(tcgetattr(fd, &tio), 0);
        portable::Close(fd);
        EXPECT_EQ(tio.c_cflag & (PARODD | CLOCAL), 0u) << "left with the download's settings";
        EXPECT_EQ(tio.c_iflag & IGNPAR, 0u);

        const ToolRun again = Tarvex({"download", "program", small, "--port", device, "--force"});
        EXPECT_EQ(again.status, 0) << again.out << again.err;
        // The stopped transfer was not filed; the next line tells of the second one.
        EXPECT_NE(emulator->Line().find("program 1, 1 records"), std::string::npos);
    }
}

}  // namespace
