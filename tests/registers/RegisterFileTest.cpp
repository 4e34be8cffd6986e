#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/FileErrors.h"
#include "registers/RegisterFile.h"
#include "tests/common/FileFixtures.h"
#include "tests/support/Portable.h"

namespace {

namespace fs = std::filesystem;
using namespace registers;

const std::string kIdent(kIdentification);

using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;

// Register lines k = from .. to - 1, each "[Sdddd] = <value(k)>" ended by `eol`.
template <typename Value>
std::string Lines(int from, int to, Value value, const char* eol = "\r\n") {
    std::string text;
    for (int k = from; k < to; ++k)
        text += RegisterLine(k, value(k)) + eol;
    return text;
}
std::string Zeros(int from, int to) {
    return Lines(from, to, [](int) { return "0"; });
}

PageTexts Texts(const std::string& stem) {
    PageTexts texts;
    for (int r = 0; r < kPageSize; ++r)
        texts[r] = stem + std::to_string(r);
    return texts;
}

PageTexts AllZero() {
    PageTexts texts;
    texts.fill("0");
    return texts;
}

TEST(CheckRegisterFile, ComparesTheFirstLineExactly) {
    TempDir dir;
    const struct {
        const char* name;
        std::string bytes;
        CheckResult expected;
    } cases[] = {
        {"crlf", kIdent + "\r\n[S0000] = 1\r\n", CheckResult::RegisterFile},
        {"lf", kIdent + "\n", CheckResult::RegisterFile},
        {"no line end", kIdent, CheckResult::RegisterFile},
        {"empty", "", CheckResult::NotRegisterFile},
        {"leading blank", " " + kIdent + "\r\n", CheckResult::NotRegisterFile},
        {"trailing blank", kIdent + " \r\n", CheckResult::NotRegisterFile},
        {"lower case", "this is Par.dat for RVL412E. By RSE.\r\n", CheckResult::NotRegisterFile},
        {"cr only", kIdent + "\r[S0000] = 0\r", CheckResult::NotRegisterFile},
        {"nul inside", kIdent.substr(0, 10) + '\0' + kIdent.substr(11) + "\r\n",
         CheckResult::NotRegisterFile},
        {"long first line", kIdent + std::string(1 << 20, 'x') + "\n",
         CheckResult::NotRegisterFile},
    };
    for (const auto& c : cases) {
        WriteFile(dir / c.name, c.bytes);
        EXPECT_EQ(CheckRegisterFile(dir / c.name), c.expected) << c.name;
    }
    EXPECT_EQ(CheckRegisterFile(dir / "missing.dat"), CheckResult::CannotOpen);
    fs::create_directory(dir / "folder.dat");
    EXPECT_EQ(CheckRegisterFile(dir / "folder.dat"), CheckResult::CannotOpen);
}

TEST(CreateRegisterFile, WritesOnlyTheIdentificationLine) {
    TempDir dir;
    WriteFile(dir / "a.dat", "old contents that are longer than the new file\r\n" + Zeros(0, 50));
    EXPECT_FALSE(CreateRegisterFile(dir / "a.dat"));
    EXPECT_EQ(ReadFile(dir / "a.dat"), kIdent + "\r\n");
    EXPECT_EQ(ReadFile(dir / "a.dat").size(), 38u);
    EXPECT_TRUE(CreateRegisterFile(dir / "no such folder" / "a.dat"));
}

TEST(ReadRegisterPage, TakesTheTextsAfterTheTenCharacterPrefix) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    WriteFile(file, kIdent + "\r\n" + Lines(0, 4096, [](int k) { return std::to_string(k); }));

    PageRead page = ReadRegisterPage(file, 48);
    ASSERT_EQ(page.status, ReadStatus::Done);
    for (int r = 0; r < kPageSize; ++r)
        EXPECT_EQ(page.texts[r], std::to_string(48 + r));

    page = ReadRegisterPage(file, 4080);
    ASSERT_EQ(page.status, ReadStatus::Done);
    for (int r = 0; r < kPageSize; ++r)
        EXPECT_EQ(page.texts[r], r < 16 ? std::to_string(4080 + r) : "") << r;
}

TEST(ReadRegisterPage, NewFileShortLinesAndMissingFile) {
    TempDir dir;
    ASSERT_FALSE(CreateRegisterFile(dir / "new.dat"));
    PageRead page = ReadRegisterPage(dir / "new.dat", 0);
    EXPECT_EQ(page.status, ReadStatus::Done);
    EXPECT_EQ(page.texts, PageTexts{});

    // Prefixes are skipped unread; a line ending at or before its prefix gives the empty text.
    WriteFile(dir / "short.dat", "anything\n[S0000] = \n[S1]\nXXXXXXXXXX7\n[S0003] = a b \r\n\n");
    page = ReadRegisterPage(dir / "short.dat", 0);
    const PageTexts expected{"", "", "7", "a b "};
    EXPECT_EQ(page.texts, expected);

    EXPECT_EQ(ReadRegisterPage(dir / "missing.dat", 0).status, ReadStatus::CannotOpen);
    for (int base : {-24, 4104, 25})
        EXPECT_EQ(ReadRegisterPage(dir / "new.dat", base).status, ReadStatus::BadPage) << base;
}

TEST(ReadRegisterPage, LfAndCrLfFilesReadAlike) {
    TempDir dir;
    auto value = [](int k) { return "v" + std::to_string(k); };
    WriteFile(dir / "crlf.dat", kIdent + "\r\n" + Lines(0, 100, value, "\r\n"));
    WriteFile(dir / "lf.dat", kIdent + "\n" + Lines(0, 100, value, "\n"));
    for (int base : {0, 24, 96}) {
        const PageRead crlf = ReadRegisterPage(dir / "crlf.dat", base);
        EXPECT_EQ(crlf.texts, ReadRegisterPage(dir / "lf.dat", base).texts) << base;
        EXPECT_EQ(crlf.texts[0], value(base));
    }
}

struct NewFileWrite {
    const char* name;
    int base;
    std::string expected;
};

class WriteToNewFile : public testing::TestWithParam<NewFileWrite> {};

TEST_P(WriteToNewFile, CompletesTheFileAroundThePage) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    ASSERT_FALSE(CreateRegisterFile(file));
    const PageTexts texts = GetParam().base == 0 ? AllZero() : Texts("t");
    const WriteResult result = WriteRegisterPage(file, GetParam().base, texts);
    EXPECT_EQ(result.status, WriteStatus::Done);
    const std::string bytes = ReadFile(file);
    EXPECT_EQ(bytes.size(), GetParam().expected.size());
    EXPECT_TRUE(bytes == GetParam().expected);
    EXPECT_FALSE(fs::exists(WorkingCopyPath(file)));
}

std::string PageLines(int base) {
    return Lines(base, base + kPageSize, [base](int k) { return "t" + std::to_string(k - base); });
}

INSTANTIATE_TEST_SUITE_P(
    Pages, WriteToNewFile,
    testing::Values(NewFileWrite{"Page0AllZero", 0, kIdent + "\r\n" + Zeros(0, 4096)},
                    NewFileWrite{"Page48", 48,
                                 kIdent + "\r\n" + Zeros(0, 48) + PageLines(48) + Zeros(72, 4096)},
                    NewFileWrite{"Page4080", 4080,
                                 kIdent + "\r\n" + Zeros(0, 4080) + PageLines(4080)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteRegisterPage, EmptyFileGetsTheIdentification) {
    TempDir dir;
    WriteFile(dir / "a.dat", "");
    ASSERT_EQ(WriteRegisterPage(dir / "a.dat", 24, Texts("x")).status, WriteStatus::Done);
    EXPECT_EQ(ReadFile(dir / "a.dat"), kIdent + "\r\n" + Zeros(0, 24) + Lines(24, 48, [](int k) {
                                           return "x" + std::to_string(k - 24);
                                       }) + Zeros(48, 4096));
}

TEST(WriteRegisterPage, KeepsLinesBeforeThePageAndRenumbersThoseAfter) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    // Every line carries a wrong number; line 1 is kept whatever it says.
    std::string old = "first line\n";
    for (int k = 0; k < 100; ++k)
        old += "[S9" + FourDigits(k).substr(1) + "] = " + std::to_string(k * 2) + "\n";
    WriteFile(file, old);
    ASSERT_EQ(WriteRegisterPage(file, 24, Texts("p")).status, WriteStatus::Done);

    std::string expected = "first line\r\n";
    for (int k = 0; k < 24; ++k)
        expected += "[S9" + FourDigits(k).substr(1) + "] = " + std::to_string(k * 2) + "\r\n";
    expected += Lines(24, 48, [](int k) { return "p" + std::to_string(k - 24); });
    expected += Lines(48, 100, [](int k) { return std::to_string(k * 2); });
    expected += Zeros(100, 4096);
    EXPECT_TRUE(ReadFile(file) == expected);
}

TEST(WriteRegisterPage, KeepsExtraLinesAndCompletesShortOnes) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    std::string old =
        kIdent + "\r\n" + Zeros(0, 4096) + "[S4096] = 5\r\n" + "[S1\r\n" + "[S12345] = 9\r\n";
    WriteFile(file, old);
    ASSERT_EQ(WriteRegisterPage(file, 0, AllZero()).status, WriteStatus::Done);
    EXPECT_TRUE(ReadFile(file) ==
                kIdent + "\r\n" + Zeros(0, 4096) + "[S4096] = 5\r\n[S4097] = \r\n[S40985] = 9\r\n");
}

TEST(WriteRegisterPage, ReplacesAStaleWorkingCopyAndLeavesNoneBehind) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    ASSERT_FALSE(CreateRegisterFile(file));
    WriteFile(WorkingCopyPath(file), std::string(100000, 'z'));
    ASSERT_EQ(WriteRegisterPage(file, 0, AllZero()).status, WriteStatus::Done);
    EXPECT_FALSE(fs::exists(WorkingCopyPath(file)));
    EXPECT_EQ(fs::file_size(file), 53286u);
    EXPECT_EQ(WorkingCopyPath(file).string(), file.string() + ".bak");

    if (!testfs::CanLink(dir.path()))
        GTEST_SKIP() << "no symbolic links here: a working copy linking elsewhere was not tried";
    // A working copy name that links elsewhere is replaced, never written through.
    WriteFile(dir / "other", "other");
    fs::create_symlink(dir / "other", WorkingCopyPath(file));
    ASSERT_EQ(WriteRegisterPage(file, 0, AllZero()).status, WriteStatus::Done);
    EXPECT_EQ(ReadFile(dir / "other"), "other");
    EXPECT_EQ(testfs::Names(dir.path()), (std::vector<std::string>{"a.dat", "other"}));
}

TEST(WriteRegisterPage, ThroughASymbolicLinkChangesTheFileItPointsTo) {
    TempDir dir;
    const fs::path file = dir / "real.dat";
    const fs::path link = dir / "link.dat";
    if (!testfs::CanLink(dir.path()))
        GTEST_SKIP() << "no symbolic links here";
    ASSERT_FALSE(CreateRegisterFile(file));
    fs::create_symlink(file, link);
    ASSERT_EQ(WriteRegisterPage(link, 0, Texts("v")).status, WriteStatus::Done);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadRegisterPage(file, 0).texts, Texts("v"));
    EXPECT_FALSE(fs::exists(WorkingCopyPath(file)));
    EXPECT_FALSE(fs::exists(WorkingCopyPath(link)));
}

// A Chinese name reaches Windows through the wide-character opens, for the check, the read and
// the write with its working copy.
TEST(WriteRegisterPage, ChineseFileNameRoundTrips) {
    TempDir dir;
    const fs::path file = dir.path() / fs::path(u8"参数表.dat");
    ASSERT_FALSE(CreateRegisterFile(file));
    EXPECT_EQ(CheckRegisterFile(file), CheckResult::RegisterFile);
    ASSERT_EQ(WriteRegisterPage(file, 24, Texts("z")).status, WriteStatus::Done);
    EXPECT_EQ(ReadRegisterPage(file, 24).texts, Texts("z"));
    EXPECT_EQ(testfs::Utf8(WorkingCopyPath(file).filename()), "参数表.dat.bak");
    ASSERT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(testfs::Utf8(fs::directory_iterator(dir.path())->path().filename()), "参数表.dat");
}

TEST(WriteRegisterPage, RefusalsLeaveTheFileAsItWas) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    const std::string old = kIdent + "\r\n" + Zeros(0, 30);
    PageTexts broken = Texts("v");
    broken[5] = "1\r\n[S9999] = 2";
    const struct {
        const char* name;
        int base;
        PageTexts texts;
        WriteStatus status;
    } cases[] = {
        {"negative base", -24, Texts("v"), WriteStatus::BadPage},
        {"base past the last page", 4104, Texts("v"), WriteStatus::BadPage},
        {"five-digit base", 9984 + 24, Texts("v"), WriteStatus::BadPage},
        {"base off the page grid", 50, Texts("v"), WriteStatus::BadPage},
        {"line break in a text", 0, broken, WriteStatus::BadText},
    };
    for (const auto& c : cases) {
        WriteFile(file, old);
        EXPECT_EQ(WriteRegisterPage(file, c.base, c.texts).status, c.status) << c.name;
        EXPECT_EQ(ReadFile(file), old) << c.name;
        EXPECT_FALSE(fs::exists(WorkingCopyPath(file))) << c.name;
    }
    EXPECT_EQ(WriteRegisterPage(dir / "missing.dat", 0, AllZero()).status, WriteStatus::CannotOpen);
    EXPECT_FALSE(fs::exists(WorkingCopyPath(dir / "missing.dat")));
}

TEST(WriteRegisterPage, FileTooLongToNumberIsRefusedUnchanged) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    std::string old = kIdent + "\r\n";
    for (int k = 0; k < 100000; ++k)
        old += "[S0000] = " + std::to_string(k) + "\r\n";
    WriteFile(file, old);
    EXPECT_EQ(WriteRegisterPage(file, 0, AllZero()).status, WriteStatus::TooManyLines);
    EXPECT_TRUE(ReadFile(file) == old);
    EXPECT_FALSE(fs::exists(WorkingCopyPath(file)));
    // Reading is harmless.
    EXPECT_EQ(ReadRegisterPage(file, 4080).texts[0], "4080");

    // Exactly 10000 register lines can still be numbered.
    std::string fits = kIdent + "\r\n" + Zeros(0, 10000);
    WriteFile(file, fits);
    EXPECT_EQ(WriteRegisterPage(file, 0, AllZero()).status, WriteStatus::Done);
    EXPECT_TRUE(ReadFile(file) == fits);
}

TEST(WriteRegisterPage, OddBytesPassThrough) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    const std::string huge(1 << 20, '7');
    const std::string nul("1\0002", 3);
    std::string old = kIdent + "\r\n" + Zeros(0, 30) + RegisterLine(30, huge) + "\n" +
                      RegisterLine(31, nul) + "\n";
    WriteFile(file, old);
    PageTexts texts = AllZero();
    texts[1] = nul;
    texts[2] = "a\rb\r";  // readers split at LF only, so a CR reads back as written
    ASSERT_EQ(WriteRegisterPage(file, 0, texts).status, WriteStatus::Done);
    EXPECT_EQ(ReadRegisterPage(file, 0).texts[2], "a\rb\r");
    const PageRead page = ReadRegisterPage(file, 24);
    EXPECT_TRUE(page.texts[6] == huge);
    EXPECT_EQ(page.texts[7], nul);
    EXPECT_EQ(ReadRegisterPage(file, 0).texts[1], nul);
    EXPECT_EQ(fs::file_size(file), 53286u + huge.size() - 1 + 2 * (nul.size() - 1) + 3);
}

TEST(WriteRegisterPage, CrOnlyFileIsOneLongFirstLine) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    const std::string old = kIdent + "\r" + "[S0000] = 5\r[S0001] = 6\r";
    WriteFile(file, old);
    EXPECT_EQ(ReadRegisterPage(file, 0).texts, PageTexts{});
    ASSERT_EQ(WriteRegisterPage(file, 0, AllZero()).status, WriteStatus::Done);
    EXPECT_TRUE(ReadFile(file) == old + "\r\n" + Zeros(0, 4096));
}

TEST(WriteRegisterPage, FailedWriteKeepsTheOldFileAndRemovesTheWorkingCopy) {
    if (!portable::Lacks(portable::Feature::FileSizeLimit).empty())
        GTEST_SKIP() << "no file size limit on Windows to make the write fail";
    TempDir dir;
    const fs::path file = dir / "a.dat";
    const std::string old = kIdent + "\r\n" + Zeros(0, 10);
    WriteFile(file, old);
    WriteResult result;
    {
        testfs::FileSizeLimit limit(20000);
        result = WriteRegisterPage(file, 0, AllZero());
    }
    EXPECT_EQ(result.status, WriteStatus::FileError);
    EXPECT_EQ(result.file, WorkingCopyPath(file));
    EXPECT_EQ(result.cause, std::errc::file_too_large);
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_FALSE(fs::exists(WorkingCopyPath(file)));
    // A size limit is no full disk: the user would look for space that is there.
    EXPECT_EQ(FileErrorMessage(result.cause, "a.dat.bak"), "在存取 a.dat.bak 时文件大小超出限制。");
    EXPECT_EQ(FileErrorMessage(std::make_error_code(std::errc::no_space_on_device), "a.dat.bak"),
              "在存取 a.dat.bak 时磁盘已满。");
}

TEST(WriteRegisterPage, AWriterKeptWaitingWritesNothingAndNamesTheFileInUse) {
    if (!portable::Lacks(portable::Feature::FileLock).empty())
        GTEST_SKIP()
            << "holds the file with flock; Windows writers take turns through a named mutex";
    TempDir dir;
    const fs::path file = dir / "a.dat";
    ASSERT_EQ(WriteRegisterPage(file, 0, AllZero()).status, WriteStatus::CannotOpen);
    ASSERT_FALSE(CreateRegisterFile(file));
    const std::string before = ReadFile(file);
    auto holder = std::make_unique<portable::FileLock>(file);
    ASSERT_TRUE(holder->Held());

    const WriteResult result = WriteRegisterPage(file, 0, AllZero(), std::chrono::milliseconds(0));
    EXPECT_EQ(result.status, WriteStatus::FileError);
    EXPECT_EQ(result.cause, std::errc::device_or_resource_busy);
    EXPECT_EQ(result.file, file);
    EXPECT_EQ(FileErrorMessage(result.cause, "a.dat"), "在存取 a.dat 时发生共享违例。");
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(testfs::Names(dir.path()), std::vector<std::string>{"a.dat"});

    // One that waits gets its turn when the other is done.
    std::thread waiting(
        [&] { EXPECT_EQ(WriteRegisterPage(file, 0, Texts("w")).status, WriteStatus::Done); });
    holder.reset();
    waiting.join();
    EXPECT_EQ(ReadRegisterPage(file, 0).texts, Texts("w"));
}

TEST(WriteRegisterPage, ConcurrentWritersTakeTurnsAndLoseNoUpdate) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    ASSERT_FALSE(CreateRegisterFile(file));
    constexpr int kWriters = 4;
    constexpr int kRounds = 12;
    auto texts = [](int writer, int round) {
        return Texts(std::to_string(writer) + "r" + std::to_string(round) + "-");
    };
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            for (int round = 0; round < kRounds; ++round)
                EXPECT_EQ(WriteRegisterPage(file, w * kPageSize, texts(w, round)).status,
                          WriteStatus::Done);
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    for (int w = 0; w < kWriters; ++w)
        EXPECT_EQ(ReadRegisterPage(file, w * kPageSize).texts, texts(w, kRounds - 1)) << w;
    EXPECT_EQ(ReadRegisterPage(file, kWriters * kPageSize).texts, AllZero());
    EXPECT_EQ(testfs::Names(dir.path()), std::vector<std::string>{"a.dat"});
}

// The functions on bytes in memory are what the fuzzer runs: each must give exactly what its
// file counterpart does, or the fuzzing checks another program.
TEST(RegisterBytes, MatchTheFileOperations) {
    TempDir dir;
    const fs::path file = dir / "a.dat";
    PageTexts longTexts = Texts("value-longer-than-nine-");
    PageTexts lineBreak = AllZero();
    lineBreak[5] = "1\n2";
    std::string tooLong = kIdent + "\r\n";
    for (int k = 0; k < 10001; ++k)
        tooLong += "[S0000] = 1\n";
    const struct {
        const char* name;
        std::string old;
        int base;
        PageTexts texts;
    } cases[] = {
        {"empty", "", 0, Texts("v")},
        {"identification only", kIdent + "\r\n", 4080, Texts("")},
        {"LF lines, page inside",
         kIdent + "\n" +
             Lines(
                 0, 50, [](int k) { return std::to_string(k); }, "\n"),
         24, Texts("x")},
        {"short and odd lines", kIdent + "\r\n[S\r\n\r\n" + RegisterLine(2, "\r") + "\n", 0,
         AllZero()},
        {"no final line break", kIdent + "\r\n" + Zeros(0, 30) + "[S0030] = 9", 48, Texts("7")},
        {"CR only", kIdent + "\r[S0000] = 5\r", 0, AllZero()},
        {"not a register file", "hello\r\n" + Zeros(0, 5000), 4008, Texts("-")},
        {"texts longer than a field", kIdent + "\r\n", 96, longTexts},
        {"bad page", kIdent + "\r\n", 25, AllZero()},
        {"line break in a text", kIdent + "\r\n", 0, lineBreak},
        {"too many lines", tooLong, 0, AllZero()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(file, c.old);
        EXPECT_EQ(CheckRegisterBytes(c.old), CheckRegisterFile(file));
        const PageRead fromBytes = ReadRegisterPageBytes(c.old, c.base);
        const PageRead fromFile = ReadRegisterPage(file, c.base);
        EXPECT_EQ(fromBytes.status, fromFile.status);
        EXPECT_EQ(fromBytes.texts, fromFile.texts);
        std::string rewritten = "stale";
        const WriteStatus status = RewriteRegisterPageBytes(c.old, c.base, c.texts, rewritten);
        EXPECT_EQ(status, WriteRegisterPage(file, c.base, c.texts).status);
        EXPECT_TRUE(rewritten == (status == WriteStatus::Done ? ReadFile(file) : std::string()));
    }
}

}  // namespace
