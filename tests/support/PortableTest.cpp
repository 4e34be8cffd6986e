#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

#include "tests/support/Portable.h"

// The process runner starts this very program again, as the child, on either system.
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Children: run only when named, with --gtest_also_run_disabled_tests.

// Each argument after "--echo" on a line of its own, after "echo:"; exits with 3.
TEST(PortableChild, DISABLED_Echo) {
    bool echo = false;
    for (const std::string& a : ::testing::internal::GetArgvs()) {
        if (echo)
            std::cout << "echo:" << a << '\n';
        echo = echo || a == "--echo";
    }
    std::cout << std::flush;
    std::exit(3);
}

// Says it is ready, then waits to be ended.
TEST(PortableChild, DISABLED_WaitForever) {
    std::cout << "ready" << std::endl;
    for (;;)
        std::this_thread::sleep_for(1s);
}

portable::Process Child(const std::string& test, std::vector<std::string> args = {}) {
    args.insert(args.begin(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=PortableChild." + test});
    portable::Process child;
    EXPECT_TRUE(child.Start(portable::SelfPath(), args));
    return child;
}

TEST(PortableProcess, RunsItselfWithOutputToFilesUnderAChineseName) {
    const portable::TempDir dir("tarvex-portable");
    portable::Process self;
    ASSERT_TRUE(self.Start(portable::SelfPath(),
                           {"--gtest_list_tests", "--gtest_filter=PortableProcess.*"},
                           dir / "列表.txt", dir / "错误.txt"));
    const portable::Ending ending = self.Wait();
    EXPECT_TRUE(ending.Exited(0)) << ending.code << " " << ending.signal;
    const std::string listed = ReadFile(dir / "列表.txt");
    EXPECT_NE(listed.find("PortableProcess."), std::string::npos) << listed;
    EXPECT_NE(listed.find("  RunsItselfWithOutputToFilesUnderAChineseName"), std::string::npos)
        << listed;
    EXPECT_EQ(listed.find("PortableChild"), std::string::npos) << listed;
    EXPECT_TRUE(fs::exists(dir / "错误.txt"));
    EXPECT_FALSE(self.Running());
}

// What a command line must carry unchanged: on Windows it is one string, quoted by the runner.
TEST(PortableProcess, ArgumentsArriveAsGivenAndTheExitCodeComesBack) {
    const std::vector<std::string> args = {
        "plain", "two words", "", "a\"b", "back\\", "back\\\\\"q", "tab\there", "\\\\server\\x",
    };
    std::vector<std::string> withFlag{"--echo"};
    withFlag.insert(withFlag.end(), args.begin(), args.end());
    portable::Process child = Child("DISABLED_Echo", withFlag);
    std::vector<std::string> seen;
    while (const std::optional<std::string> line = child.ReadLine(10s)) {
        if (line->rfind("echo:", 0) == 0)
            seen.push_back(line->substr(5));
    }
    EXPECT_EQ(seen, args);
    const portable::Ending ending = child.Wait();
    EXPECT_TRUE(ending.Exited(3)) << ending.code << " " << ending.signal;
}

TEST(PortableProcess, EndedChildReportsTheSignalAndSilentPipeTimesOut) {
    portable::Process child = Child("DISABLED_WaitForever");
    std::optional<std::string> line;
    while ((line = child.ReadLine(10s)) && *line != "ready") {
    }
    ASSERT_EQ(line, "ready");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(child.ReadLine(50ms), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    child.Signal(SIGTERM);
    const portable::Ending ending = child.Wait();
    EXPECT_EQ(ending.signal, SIGTERM) << ending.code;
    EXPECT_EQ(child.Wait().code, -1);  // nothing left to wait for
}

TEST(PortableProcess, MissingProgramDoesNotStart) {
    const portable::TempDir dir("tarvex-portable");
    portable::Process none;
    EXPECT_FALSE(none.Start(dir / "none.exe", {}, dir / "out"));
    EXPECT_FALSE(none.Running());
}

TEST(PortableChildren, ForkedBodyEndsByExitOrSignal) {
    if (const std::string_view why = portable::Lacks(portable::Feature::Fork); !why.empty())
        GTEST_SKIP() << why;
    EXPECT_TRUE(portable::InChild([] { return 7; }).Exited(7));
    EXPECT_EQ(portable::InChild([] { return std::raise(SIGINT); }).signal, SIGINT);
}

TEST(PortablePty, BytesCrossInBothDirections) {
    if (const std::string_view why = portable::Lacks(portable::Feature::Pty); !why.empty())
        GTEST_SKIP() << why;
    int master = -1;
    int slave = -1;
    std::string path;
    ASSERT_TRUE(portable::OpenPty(master, slave, path));
    const int far = portable::OpenTerminal(path);
    ASSERT_GE(far, 0) << path;
    char got[4] = {};
    EXPECT_TRUE(portable::WriteAll(master, "\x01\xff\n", 3));
    ASSERT_TRUE(portable::Readable(far, 2s));
    EXPECT_EQ(portable::ReadSome(far, got, sizeof got), 3);  // raw: no line discipline
    EXPECT_EQ(std::string(got, 3), "\x01\xff\n");
    EXPECT_TRUE(portable::WriteAll(far, "z", 1));
    ASSERT_TRUE(portable::Readable(master, 2s));
    EXPECT_EQ(portable::ReadSome(master, got, 1), 1);
    EXPECT_EQ(got[0], 'z');
    EXPECT_FALSE(portable::Readable(master, 10ms));
    for (const int fd : {far, slave, master})
        portable::Close(fd);
}

}  // namespace

namespace {

TEST(PortableFiles, TempDirsAreFreshAndGoWithReadOnlyContents) {
    fs::path kept;
    {
        const portable::TempDir one("tarvex-portable");
        const portable::TempDir two("tarvex-portable");
        EXPECT_NE(one.path(), two.path());
        EXPECT_TRUE(fs::is_directory(one.path()));
        EXPECT_TRUE(fs::is_empty(one.path()));
        fs::create_directory(one / "sub");
        std::ofstream(one / "sub" / "f") << "x";
        fs::permissions(one / "sub", fs::perms::owner_read | fs::perms::owner_exec);
        fs::permissions(one.path(), fs::perms::owner_read | fs::perms::owner_exec);
        kept = one.path();
    }
    std::error_code ec;
    EXPECT_FALSE(fs::exists(kept, ec)) << kept;
}

// The limit holds inside the object's life only, and a write over it fails instead of ending
// the process.
TEST(PortableFiles, FileSizeLimitHoldsWhileTheObjectLives) {
    if (const std::string_view why = portable::Lacks(portable::Feature::FileSizeLimit);
        !why.empty())
        GTEST_SKIP() << why;
    const portable::TempDir dir("tarvex-portable");
    auto write = [&](const char* name) {
        std::ofstream out(dir / name, std::ios::binary);
        out << std::string(5000, 'x') << std::flush;
        return out.good();
    };
    {
        const portable::FileSizeLimit limit(1000);
        EXPECT_FALSE(write("limited"));
    }
    EXPECT_TRUE(write("free"));
    EXPECT_EQ(fs::file_size(dir / "free"), 5000u);
}

void Handler(int) {}

TEST(PortableSignals, HandlersAreSetReadAndGivenBack) {
    const portable::SignalHandler before = portable::SetSignalHandler(SIGINT, Handler);
    EXPECT_EQ(portable::SignalHandlerOf(SIGINT), &Handler);
    EXPECT_EQ(portable::SignalHandlerOf(SIGINT), &Handler);  // reading leaves it as it was
    EXPECT_EQ(portable::SetSignalHandler(SIGINT, before), &Handler);
    EXPECT_EQ(portable::SignalHandlerOf(SIGINT), before);
}

}  // namespace
