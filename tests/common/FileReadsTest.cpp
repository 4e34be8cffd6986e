#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "common/FileIo.h"
#include "tests/common/FileFixtures.h"
#include "tests/support/Patience.h"
#include "tests/support/Portable.h"

namespace {

namespace fs = std::filesystem;
using fileio::ReadStatus;
using testfs::TempDir;
using testfs::WriteFile;

struct ReadCase {
    const char* name;
    const char* path;  // beginning with '/': as it is; otherwise inside the test folder
    std::size_t limit;
    ReadStatus status;
    std::string bytes;
};

// In the folder: "ten" holds 0123456789, "sub" is a folder.
const ReadCase kReads[] = {
    {"under the limit", "ten", 11, ReadStatus::Ok, "0123456789"},
    {"exactly the limit", "ten", 10, ReadStatus::Ok, "0123456789"},
    {"over the limit keeps its start", "ten", 4, ReadStatus::TooLarge, "0123"},
    {"missing", "none", 10, ReadStatus::Unreadable, ""},
    {"a folder", "sub", 10, ReadStatus::Unreadable, ""},
    {"an endless device", "/dev/zero", 3, ReadStatus::TooLarge, std::string(3, '\0')},
    {"a read error", "/proc/self/mem", 10, ReadStatus::Unreadable, ""},
};

TEST(ReadLimited, ReadsAtMostTheLimitAndNamesWhatWentWrong) {
    TempDir dir;
    WriteFile(dir / "ten", "0123456789");
    fs::create_directory(dir / "sub");
    for (const ReadCase& c : kReads) {
        const fs::path path = c.path[0] == '/' ? fs::path(c.path) : dir / c.path;
        // Linux devices; Wine would reach them through its drive Z:, which says nothing of Windows.
#if defined(_WIN32)
        if (c.path[0] == '/')
            continue;
#endif
        if (!fs::exists(path) && c.path[0] == '/')
            continue;
        std::string bytes = "stale";
        EXPECT_EQ(fileio::ReadLimited(path, c.limit, bytes), c.status) << c.name;
        EXPECT_EQ(bytes, c.bytes) << c.name;
    }
}

TEST(ReadLimited, PipeThatStaysSilentGivesUpAfterThePatience) {
    if (const std::string_view why = portable::Lacks(portable::Feature::Fifo); !why.empty())
        GTEST_SKIP() << why;
    TempDir dir;
    const fs::path path = dir / "pipe";
    portable::Fifo fifo(path);
    ASSERT_TRUE(fifo.IsOpen());
    ASSERT_TRUE(fifo.Write("ab"));
    std::string bytes;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fileio::ReadLimited(path, 100, bytes, std::chrono::milliseconds(50)),
              ReadStatus::Unreadable);
    EXPECT_LT(std::chrono::steady_clock::now() - start, testsupport::kNoticeBound);
}

struct SameCase {
    const char* name;
    const char* input;
    const char* output;
    bool same;
    bool link = false;  // needs symbolic links
};

// In the folder: files "a" and "b", a hard link "hard" to "a", a link "soft" to "a", a link
// "ahead" to the missing "new", and a folder "sub".
const SameCase kSame[] = {
    {"the same path", "a", "a", true},
    {"another file", "a", "b", false},
    {"spelt through a folder and back", "a", "sub/../a", true},
    {"spelt with a dot", "a", "./a", true},
    {"a link to the input", "a", "soft", true, true},
    {"a hard link to the input", "a", "hard", true},
    {"a missing output", "a", "new", false},
    {"a link to where the output goes", "new", "ahead", true, true},
    {"two missing files", "new", "other", false},
};

TEST(SameFile, TellsWhenWritingTheOutputWouldChangeTheInput) {
    TempDir dir;
    WriteFile(dir / "a", "a");
    WriteFile(dir / "b", "b");
    fs::create_hard_link(dir / "a", dir / "hard");
    const bool links = testfs::CanLink(dir.path());
    if (links) {
        fs::create_symlink(dir / "a", dir / "soft");
        fs::create_symlink("new", dir / "ahead");
    }
    fs::create_directory(dir / "sub");
    for (const SameCase& c : kSame) {
        if (links || !c.link) {
            EXPECT_EQ(fileio::SameFile(dir / c.input, dir / c.output), c.same) << c.name;
        }
    }
    if (!links)
        GTEST_SKIP() << "no symbolic links here: the cases through a link did not run";
}

}  // namespace
