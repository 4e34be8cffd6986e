#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <optional>
#include <regex>
#include <thread>

#include "common/FileIo.h"
#include "tests/common/FileFixtures.h"

namespace {

namespace fs = std::filesystem;
using testfs::FileSizeLimit;
using testfs::Names;
using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;

using Strings = std::vector<std::string>;

fs::perms Mode(const fs::path& path) {
    return fs::status(path).permissions();
}

// Runs `check` in a child process without root's rights, so folder permissions hold for it too.
bool AsOrdinaryUser(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Replace {
    const char* name;
    std::optional<std::string> old;  // none: the file does not exist yet
    fs::perms mode;                  // of the old file
    bool throughLink;
    std::string bytes;
};

TEST(WriteSafely, ReplacesTheFileAndLeavesNothingElse) {
    const Replace cases[] = {
        {"new file", std::nullopt, fs::perms::none, false, "abc"},
        {"longer old file", std::string(10000, 'x'), fs::perms(0644), false, "short"},
        {"empty content", "abc", fs::perms(0644), false, ""},
        {"read-only file keeps its mode", "abc", fs::perms(0444), false, "def"},
        {"private file stays private", "abc", fs::perms(0600), false, std::string(70000, 'q')},
        {"link to a file", "abc", fs::perms(0640), true, "through"},
        {"link to no file yet", std::nullopt, fs::perms::none, true, "made"},
    };
    for (const Replace& c : cases) {
        TempDir dir;
        const fs::path file = dir / "a.kxo";
        const fs::path link = dir / "link.kxo";
        Strings expected{"a.kxo"};
        if (c.old) {
            WriteFile(file, *c.old);
            fs::permissions(file, c.mode);
        }
        if (c.throughLink) {
            fs::create_symlink(file, link);
            expected.push_back("link.kxo");
        }
        // A file made the ordinary way shows what a new file's mode must be.
        WriteFile(dir / "plain", "");
        const fs::perms newMode = Mode(dir / "plain");
        fs::remove(dir / "plain");

        EXPECT_FALSE(fileio::WriteSafely(c.throughLink ? link : file, c.bytes)) << c.name;
        EXPECT_EQ(ReadFile(file), c.bytes) << c.name;
        EXPECT_EQ(Mode(file), c.old ? c.mode : newMode) << c.name;
        EXPECT_EQ(Names(dir.path()), expected) << c.name;
        EXPECT_EQ(fs::is_symlink(link), c.throughLink) << c.name;
    }
}

TEST(WriteSafely, FailuresKeepTheOldFileAndLeaveNoTemporary) {
    TempDir dir;
    const fs::path file = dir / "a.kxo";
    WriteFile(file, "old");
    {
        FileSizeLimit limit(1000);
        EXPECT_EQ(fileio::WriteSafely(file, std::string(5000, 'n')), std::errc::file_too_large);
    }
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_EQ(Names(dir.path()), Strings{"a.kxo"});

    fs::create_directory(dir / "folder.kxo");
    EXPECT_EQ(fileio::WriteSafely(dir / "folder.kxo", "x"), std::errc::is_a_directory);
    EXPECT_TRUE(fs::is_empty(dir / "folder.kxo"));
    EXPECT_EQ(fileio::WriteSafely(dir / "none" / "a.kxo", "x"),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(fileio::WriteSafely(file / "a.kxo", "x"), std::errc::not_a_directory);
    EXPECT_EQ(fileio::WriteSafely("", "x"), std::errc::no_such_file_or_directory);
    EXPECT_EQ(Names(dir.path()), (Strings{"a.kxo", "folder.kxo"}));
}

// A write cut short by a signal leaves the old file and no temporary one; over the size limit it
// is a failure like any other.
TEST(Replacement, FatalSignalsRemoveTheTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) {
        TempDir dir;
        const fs::path file = dir / "p.kxo";
        WriteFile(file, "old");
        const pid_t child = ::fork();
        if (child == 0) {
            fileio::RemoveTemporariesOnSignals();
            if (signal == SIGXFSZ) {
                const rlimit small{100, 100};
                ::setrlimit(RLIMIT_FSIZE, &small);
                const bool refused =
                    fileio::WriteSafely(file, std::string(5000, 'n')) == std::errc::file_too_large;
                ::_exit(refused ? 0 : 1);
            }
            fileio::Replacement replacement;
            replacement.Open(file);
            replacement.Write("new");
            ::raise(signal);
            ::_exit(3);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (signal == SIGXFSZ)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(ReadFile(file), "old") << signal;
        EXPECT_EQ(Names(dir.path()), Strings{"p.kxo"}) << signal;
    }
}

TEST(WriteSafely, RewritesInPlaceWhereNoTemporaryFileCanBeMade) {
    TempDir dir;
    const fs::path file = dir / "a.kxo";
    WriteFile(file, std::string(10000, 'o'));
    fs::permissions(file, fs::perms(0666));
    fs::permissions(dir.path(), fs::perms(0555));
    EXPECT_TRUE(AsOrdinaryUser([&] {
        return !fileio::WriteSafely(file, "new") &&
               fileio::WriteSafely(dir / "b.kxo", "x") == std::errc::permission_denied;
    }));
    EXPECT_EQ(ReadFile(file), "new");
    EXPECT_EQ(Names(dir.path()), Strings{"a.kxo"});
}

TEST(Replacement, TemporariesAreUniqueHiddenFilesBesideTheTarget) {
    TempDir dir;
    const fs::path file = dir / "a.kxo";
    WriteFile(file, "old");
    fileio::Replacement first;
    fileio::Replacement second;
    ASSERT_FALSE(first.Open(file));
    ASSERT_FALSE(second.Open(file));
    const std::regex pattern(R"(\.a\.kxo\.tarvex-[A-Za-z0-9]{6})");
    for (const fs::path& temporary : {first.Temporary(), second.Temporary()}) {
        EXPECT_EQ(temporary.parent_path(), dir.path());
        EXPECT_TRUE(std::regex_match(temporary.filename().string(), pattern)) << temporary;
    }
    EXPECT_NE(first.Temporary(), second.Temporary());
    EXPECT_EQ(Names(dir.path()).size(), 3u);

    ASSERT_FALSE(first.Write("one"));
    ASSERT_FALSE(second.Write("two"));
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_FALSE(second.Commit());
    first.Abandon();
    EXPECT_EQ(ReadFile(file), "two");
    EXPECT_EQ(Names(dir.path()), Strings{"a.kxo"});

    {
        fileio::Replacement dropped;
        ASSERT_FALSE(dropped.Open(file));
        ASSERT_FALSE(dropped.Write("never"));
    }
    EXPECT_EQ(ReadFile(file), "two");
    EXPECT_EQ(Names(dir.path()), Strings{"a.kxo"});

    // A name at the length limit still gets a temporary file beside it.
    const std::string longName(250, 'n');
    fileio::Replacement longOne;
    ASSERT_FALSE(longOne.Open(dir / longName));
    EXPECT_FALSE(longOne.Temporary().empty());
    ASSERT_FALSE(longOne.Commit());
    EXPECT_EQ(Names(dir.path()), (Strings{"a.kxo", longName}));
}

TEST(Replacement, ReadersSeeEitherTheOldOrTheNewFileWhole) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    constexpr std::size_t kSize = 1 << 16;
    WriteFile(file, std::string(kSize, 'a'));
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            const std::string bytes = ReadFile(file);
            if (bytes.size() != kSize || bytes.find_first_not_of(bytes[0]) != std::string::npos)
                ++torn;
        }
    });
    auto writer = [&](char fill) {
        for (int i = 0; i < 30; ++i)
            EXPECT_FALSE(fileio::WriteSafely(file, std::string(kSize, fill)));
    };
    std::thread one(writer, 'b');
    std::thread two(writer, 'c');
    one.join();
    two.join();
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(Names(dir.path()), Strings{"a.dat"});
}

}  // namespace
