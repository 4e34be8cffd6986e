#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <optional>
#include <regex>
#include <thread>

#include "common/FileIo.h"
#include "tests/common/FileFixtures.h"
#include "tests/support/Portable.h"

namespace {

namespace fs = std::filesystem;
using testfs::Names;
using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;

using Strings = std::vector<std::string>;

#if defined(_WIN32)
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

fs::perms Mode(const fs::path& path) {
    return fs::status(path).permissions();
}

// Runs `check` in a child process without root's rights, so folder permissions hold for it too.
bool AsOrdinaryUser(const std::function<bool()>& check) {
    return portable::InChild([&] { return !portable::DropRoot() ? 2 : check() ? 0 : 1; }).Exited(0);
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
    bool linksSkipped = false;
    for (const Replace& c : cases) {
        TempDir dir;
        if (c.throughLink && !testfs::CanLink(dir.path())) {
            linksSkipped = true;
            continue;
        }
        const fs::path file = dir / "a.kxo";
        const fs::path link = dir / "link.kxo";
        Strings expected{"a.kxo"};
        // What the file system keeps of the old mode (Windows only a read-only flag).
        fs::perms oldMode = fs::perms::none;
        if (c.old) {
            WriteFile(file, *c.old);
            fs::permissions(file, c.mode);
            oldMode = Mode(file);
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
        EXPECT_EQ(Mode(file), c.old ? oldMode : newMode) << c.name;
        EXPECT_EQ(Names(dir.path()), expected) << c.name;
        EXPECT_EQ(fs::is_symlink(link), c.throughLink) << c.name;
        // Lets the next case remove its folder where read-only files cannot be deleted.
        fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    }
    if (linksSkipped)
        GTEST_SKIP() << "no symbolic links here: the cases through a link did not run";
}

// Names in Chinese reach the file system as they are, through every writer and reader: on
// Windows that takes the wide-character calls.
TEST(WriteSafely, ChineseNamesThroughEveryWriterAndReader) {
    TempDir dir;
    const fs::path folder = dir.path() / fs::path(u8"程序");
    fs::create_directory(folder);
    const fs::path file = folder / fs::path(u8"下载一.kxo");
    const std::string bytes = "\xb3\xcc\xd0\xf2 GBK bytes stay bytes";

    EXPECT_FALSE(fileio::WriteSafely(file, bytes));
    fileio::Replacement replacement;
    ASSERT_FALSE(replacement.Open(file));
    EXPECT_EQ(replacement.Temporary().parent_path(), folder);
    const std::string temporary = testfs::Utf8(replacement.Temporary().filename());
    EXPECT_EQ(temporary.rfind(".下载一.kxo.tarvex-", 0), 0u) << temporary;
    ASSERT_FALSE(replacement.Write(bytes + "!"));
    ASSERT_FALSE(replacement.Commit());

    std::string whole;
    EXPECT_TRUE(fileio::ReadWholeFile(file, whole));
    EXPECT_EQ(whole, bytes + "!");
    std::string limited;
    EXPECT_EQ(fileio::ReadLimited(file, 4, limited), fileio::ReadStatus::TooLarge);
    EXPECT_EQ(limited, bytes.substr(0, 4));
    EXPECT_TRUE(fileio::CanWrite(file));
    EXPECT_TRUE(
        fileio::SameFile(file, folder / ".." / fs::path(u8"程序") / fs::path(u8"下载一.kxo")));
    EXPECT_FALSE(fileio::SameFile(file, folder / fs::path(u8"下载二.kxo")));
    ASSERT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_EQ(testfs::Utf8(fs::directory_iterator(folder)->path().filename()), "下载一.kxo");
}

TEST(WriteSafely, FailuresKeepTheOldFileAndLeaveNoTemporary) {
    TempDir dir;
    const fs::path file = dir / "a.kxo";
    WriteFile(file, "old");
    if (portable::Lacks(portable::Feature::FileSizeLimit).empty()) {
        testfs::FileSizeLimit limit(1000);
        EXPECT_EQ(fileio::WriteSafely(file, std::string(5000, 'n')), std::errc::file_too_large);
    }
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_EQ(Names(dir.path()), Strings{"a.kxo"});

    fs::create_directory(dir / "folder.kxo");
    EXPECT_EQ(fileio::WriteSafely(dir / "folder.kxo", "x"), std::errc::is_a_directory);
    EXPECT_TRUE(fs::is_empty(dir / "folder.kxo"));
    EXPECT_EQ(fileio::WriteSafely(dir / "none" / "a.kxo", "x"),
              std::errc::no_such_file_or_directory);
    // Windows reports a path through a file as not found.
    EXPECT_EQ(fileio::WriteSafely(file / "a.kxo", "x"),
              kWindows ? std::errc::no_such_file_or_directory : std::errc::not_a_directory);
    EXPECT_EQ(fileio::WriteSafely("", "x"), std::errc::no_such_file_or_directory);
    EXPECT_EQ(Names(dir.path()), (Strings{"a.kxo", "folder.kxo"}));
}

// A write cut short by a signal leaves the old file and no temporary one; over the size limit it
// is a failure like any other.
TEST(Replacement, FatalSignalsRemoveTheTemporaryFile) {
    if (!portable::Lacks(portable::Feature::Fork).empty())
        GTEST_SKIP() << "no fork, no file size limit and no POSIX signals on Windows";
    for (const int signal : {SIGINT, SIGTERM, portable::kSigHup, portable::kSigXfsz}) {
        TempDir dir;
        const fs::path file = dir / "p.kxo";
        WriteFile(file, "old");
        const portable::Ending ending = portable::InChild([&] {
            fileio::RemoveTemporariesOnSignals();
            if (signal == portable::kSigXfsz) {
                portable::LimitFileSize(100);
                const bool refused =
                    fileio::WriteSafely(file, std::string(5000, 'n')) == std::errc::file_too_large;
                return refused ? 0 : 1;
            }
            fileio::Replacement replacement;
            replacement.Open(file);
            replacement.Write("new");
            std::raise(signal);
            return 3;
        });
        if (signal == portable::kSigXfsz)
            EXPECT_TRUE(ending.Exited(0)) << ending.code << ' ' << ending.signal;
        else
            EXPECT_EQ(ending.signal, signal) << ending.code;
        EXPECT_EQ(ReadFile(file), "old") << signal;
        EXPECT_EQ(Names(dir.path()), Strings{"p.kxo"}) << signal;
    }
}

TEST(WriteSafely, RewritesInPlaceWhereNoTemporaryFileCanBeMade) {
    if (!portable::Lacks(portable::Feature::Fork).empty())
        GTEST_SKIP() << "a read-only folder still takes new files on Windows, and there is no fork";
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
    const std::regex pattern(R"(\.a\.kxo\.tarvex-[0-9a-f]{8}-[0-9]+-[A-Za-z0-9]{6})");
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
            // Windows may refuse a reader while the name changes hands; never a partial file.
            // A reader there that never lets go would keep every rename out, so it pauses.
            if (kWindows) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                if (bytes == "<missing>")
                    continue;
            }
            if (bytes.size() != kSize || bytes.find_first_not_of(bytes[0]) != std::string::npos)
                ++torn;
        }
    });
    auto writer = [&](char fill) {
        for (int i = 0; i < 30; ++i) {
            const std::error_code ec = fileio::WriteSafely(file, std::string(kSize, fill));
            EXPECT_FALSE(ec) << ec.category().name() << ' ' << ec.value() << ' ' << ec.message();
        }
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

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

// A killed writer's temporary file is removed by the next write of the same file on this
// computer; one whose writer still runs, or was written on another computer, stays.
TEST(Replacement, SweepsTheTemporariesOfKilledWriters) {
#if defined(_WIN32)
    GTEST_SKIP() << "no sweep where processes cannot be looked for";
#else
    TempDir dir;
    const fs::path file = dir / "a.kxo";
    WriteFile(file, "old");
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const fs::path killed = fileio::TemporaryPath(file, child, "Killed");
    const fs::path running = fileio::TemporaryPath(file, ::getpid(), "Runnin");
    const std::string elsewhere = ".a.kxo.tarvex-00000000-" + std::to_string(child) + "-Remote";
    const fs::path otherFile = fileio::TemporaryPath(dir / "b.kxo", child, "OtherF");
    for (const fs::path& leftover : {killed, running, dir / elsewhere, otherFile})
        WriteFile(leftover, "half");

    EXPECT_FALSE(fileio::WriteSafely(file, "new"));
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(dir / elsewhere));
    EXPECT_TRUE(fs::exists(otherFile));
    EXPECT_EQ(ReadFile(file), "new");
#endif
}

}  // namespace
