#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/RecordFile.h"
#include "tests/common/FileFixtures.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using testfs::ReadFile;
using testfs::TempDir;
using testfs::WriteFile;

struct AppendCase {
    const char* name;
    std::string before;  // the file's content, or none at all when null-named
    bool exists;
    std::size_t rollOverAt;
    std::vector<std::string> filesAfter;  // each file's content, oldest first
};

TEST(AppendRecord, EveryRecordStaysALineOfItsOwn) {
    const AppendCase cases[] = {
        {"NewFile", "", false, 100, {"r\n"}},
        {"AfterWholeLines", "a\nb\n", true, 100, {"a\nb\nr\n"}},
        {"AfterALineCutShort", "a\n{\"b\":", true, 100, {"a\n{\"b\":\nr\n"}},
        {"EmptyFile", "", true, 100, {"r\n"}},
        {"PastTheSizeRollsOver", "a\nb\n", true, 4, {"a\nb\n", "r\n"}},
        {"JustUnderTheSizeGrowsOn", "a\nb\n", true, 5, {"a\nb\nr\n"}},
    };
    for (const AppendCase& c : cases) {
        TempDir dir;
        const fs::path ledger = dir / "sub" / "downloads.jsonl";
        if (c.exists) {
            fs::create_directories(ledger.parent_path());
            WriteFile(ledger, c.before);
        }
        EXPECT_FALSE(fileio::AppendRecord(ledger, "r", c.rollOverAt)) << c.name;
        const std::vector<fs::path> files = fileio::RecordFiles(ledger);
        std::vector<std::string> contents;
        for (const fs::path& file : files)
            contents.push_back(ReadFile(file));
        EXPECT_EQ(contents, c.filesAfter) << c.name;
        EXPECT_EQ(files.back(), ledger) << c.name;
    }
}

TEST(AppendRecord, RolledFilesAreReadOldestFirst) {
    TempDir dir;
    const fs::path ledger = dir / "downloads.jsonl";
    for (int i = 0; i < 12; ++i)
        ASSERT_FALSE(fileio::AppendRecord(ledger, std::to_string(i), 4));
    std::string all;
    for (const fs::path& file : fileio::RecordFiles(ledger))
        all += ReadFile(file);
    EXPECT_EQ(all, "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n");
    EXPECT_EQ(fileio::RecordFiles(ledger).front(), dir / "downloads.1.jsonl");
}

// A pipe or a folder at the ledger's place is refused at once; a pipe nobody reads would
// otherwise hold the writer forever.
TEST(AppendRecord, RefusesWhatIsNoRegularFile) {
    TempDir dir;
    fs::create_directory(dir / "folder.jsonl");
    EXPECT_TRUE(fileio::AppendRecord(dir / "folder.jsonl", "r"));
#if !defined(_WIN32)
    const fs::path fifo = dir / "pipe.jsonl";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(fileio::AppendRecord(fifo, "r"));
#endif
}

TEST(AppendRecord, WritersAtOnceTakeTurnsAcrossRollOvers) {
    TempDir dir;
    const fs::path ledger = dir / "downloads.jsonl";
    constexpr int kWriters = 4;
    constexpr int kRecords = 150;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < kRecords; ++i)
                EXPECT_FALSE(fileio::AppendRecord(
                    ledger,
                    "{\"writer\":" + std::to_string(w) + ",\"n\":" + std::to_string(i) + "}", 512));
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    std::set<std::string> seen;
    for (const fs::path& file : fileio::RecordFiles(ledger)) {
        std::istringstream lines(ReadFile(file));
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(line.rfind("{\"writer\":", 0), 0u) << line;
            EXPECT_EQ(line.back(), '}') << line;
            seen.insert(line);
        }
    }
    EXPECT_EQ(seen.size(), std::size_t{kWriters * kRecords});
}

}  // namespace
