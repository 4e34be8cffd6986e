#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/FileIo.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

pid_t Spawn(std::vector<std::string> args, int outFd, int errFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    if (errFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    args.insert(args.begin(), TARVEX_BIN);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    posix_spawn(&pid, TARVEX_BIN, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// `tarvex ARGS...` to its end, with what it printed.
ToolRun Tarvex(const fs::path& folder, std::vector<std::string> args) {
    const fs::path outPath = folder / "stdout";
    const fs::path errPath = folder / "stderr";
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t pid = Spawn(std::move(args), out, err);
    close(out);
    close(err);
    int status = -1;
    waitpid(pid, &status, 0);
    ToolRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    fileio::ReadWholeFile(outPath, run.out);
    fileio::ReadWholeFile(errPath, run.err);
    return run;
}

// `tarvex emulate --store DIR ARGS...` in the background, its device read from its first line.
class Emulator {
public:
    Emulator(const fs::path& store, std::vector<std::string> faults = {}) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0)
            return;
        std::vector<std::string> args = {"emulate", "--store", store.string()};
        args.insert(args.end(), faults.begin(), faults.end());
        pid = Spawn(args, pipeFds[1], -1);
        close(pipeFds[1]);
        output = pipeFds[0];
        char c;
        pollfd pfd{output, POLLIN, 0};
        while (poll(&pfd, 1, 10000) > 0 && read(output, &c, 1) == 1 && c != '\n')
            device += c;
    }
    ~Emulator() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        close(output);
    }
    pid_t pid = -1;
    int output = -1;
    std::string device;
};

std::string Bitmap() {
    std::string b(1086, '\xFF');
    const std::pair<int, int> fields[] = {{0, 0x4D42}, {2, 1086}, {18, 64},  {22, 128},
                                          {26, 1},     {28, 1},   {34, 1024}};
    for (auto [at, value] : fields) {
        b[at] = static_cast<char>(value & 0xFF);
        b[at + 1] = static_cast<char>(value >> 8);
    }
    b[62 + 127 * 8] = '\x7F';
    return b;
}

class DownloadCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tarvex-download-cli-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "store");
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string Write(const char* name, const std::string& bytes) {
        const fs::path p = folder / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    // The download ends when the end byte is on the line; the emulator files the transfer
    // a moment later (atomically), so wait for the file to appear.
    std::string Stored(const char* name) {
        const fs::path path = folder / "store" / name;
        for (int i = 0; i < 200 && !fs::exists(path); ++i)
            usleep(50 * 1000);
        std::string bytes;
        EXPECT_TRUE(fileio::ReadWholeFile(path, bytes)) << name;
        return bytes;
    }
    fs::path folder;
};

TEST_F(DownloadCommandTest, ProgramParametersAndScreenReachTheEmulator) {
    Emulator emulator(folder / "store");
    ASSERT_EQ(emulator.device.rfind("/dev/", 0), 0u) << emulator.device;
    std::string records;
    for (int i = 0; i < 72; ++i)
        records += static_cast<char>(i * 3);
    const std::string object = Write("p.kxo", "This is RVL412E.kxo!" + records);
    ToolRun run = Tarvex(folder, {"download", "program", object, "--port", emulator.device,
                                  "--baud", "19200", "--number", "300"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("5/5 packets"), std::string::npos) << run.err;
    EXPECT_EQ(Stored("program-300.kxo"), "This is RVL412E.kxo!" + records);

    const std::string params = Write("r.dat",
                                     "This is Par.dat for RVL412E. By RSE.\n[S0000] = 7\n"
                                     "[S0001] = -25\n");
    run = Tarvex(folder, {"download", "params", params, "--port", emulator.device, "--page", "2"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(Stored("parameters-page-002.dat").find("[S0001] = -25\r\n[S0002] = 0\r\n"),
              std::string::npos);

    const std::string bitmap = Write("s.bmp", Bitmap());
    const std::string scratch = (folder / "dat01.dat").string();
    run = Tarvex(folder,
                 {"download", "screen", bitmap, "--port", emulator.device, "--kind", "parameter",
                  "--number", "5", "--registers", "1,2,3,4095", "--scratch", scratch});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.err.find("64/64 packets"), std::string::npos) << run.err;
    const std::string pbm = Stored("screen-parameter-005.pbm");
    EXPECT_EQ(pbm.substr(0, 10), "P4\n64 128\n");
    EXPECT_EQ(static_cast<unsigned char>(pbm[10]), 0x80);  // the top-left pixel

    // The stand-alone conversion writes the same screen data.
    run = Tarvex(folder, {"screen", bitmap, "-o", (folder / "again.dat").string()});
    EXPECT_EQ(run.status, 0);
    std::string first, second;
    ASSERT_TRUE(fileio::ReadWholeFile(scratch, first));
    ASSERT_TRUE(fileio::ReadWholeFile(folder / "again.dat", second));
    EXPECT_EQ(first.size(), 1024u);
    EXPECT_EQ(first, second);
}

TEST_F(DownloadCommandTest, RefusalsComeBeforeTheLineIsTouched) {
    const std::string bitmap = Write("s.bmp", Bitmap());
    const std::string shortBitmap = Write("short.bmp", Bitmap().substr(0, 1085));
    const std::string badObject = Write("bad.kxo", "This is RVL412E.kxo?");
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
         "文件格式错误: File Size ERR!!!\n"},
        {{"screen", shortBitmap, "-o", (folder / "x.dat").string()},
         1,
         "文件格式错误: File Size ERR!!!\n"},
        {{"download", "program", bitmap, "--port", "/dev/none/tty"}, 1, "文件格式错误！\n"},
        {{"download", "params", bitmap}, 64, ""},
        {{"download", "screen", bitmap, "--port", "/dev/none", "--kind", "splash"}, 64, ""},
        {{"download", "screen", bitmap, "--port", "/dev/none", "--registers", "1,2,3"}, 64, ""},
        // A port must be named so that no other device is opened in its place.
        {{"download", "program", bitmap, "--port", "ttyUSB0"}, 64, ""},
        {{"download", "program", bitmap, "--port", "COM99999999999"}, 64, ""},
    };
    for (const auto& c : cases) {
        const ToolRun run = Tarvex(folder, c.args);
        EXPECT_EQ(run.status, c.status) << c.args[1] << " " << c.args[2] << run.err;
        EXPECT_EQ(run.out, c.out);
    }
    const ToolRun noPort = Tarvex(folder, {"download", "screen", bitmap, "--port", "/dev/none",
                                           "--scratch", (folder / "ok.dat").string()});
    EXPECT_EQ(noPort.status, 5);
    EXPECT_EQ(noPort.out, "串口 /dev/none 打开失败\n");
}

TEST_F(DownloadCommandTest, ControllerThatStopsAnsweringEndsWithItsMessage) {
    Emulator emulator(folder / "store", {"--stop-after", "3"});
    std::string records(24 * 10, '\x01');
    const std::string object = Write("p.kxo", "This is RVL412E.kxo!" + records);
    const ToolRun run = Tarvex(folder, {"download", "program", object, "--port", emulator.device});
    EXPECT_EQ(run.status, 6) << run.err;
    EXPECT_EQ(run.out, "控制器无应答！\n");
    EXPECT_TRUE(fs::is_empty(folder / "store"));
}

}  // namespace
