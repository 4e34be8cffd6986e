#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ToolRunner.h"
#include "registers/AllRegisters.h"
#include "registers/RegisterFile.h"

namespace {

namespace fs = std::filesystem;
using registers::AllTexts;

// One kind of register-file writer. `slot` tells the two writers of a pair apart, so that each
// changes registers of its own; true when it reported success.
struct Writer {
    const char* name;
    std::function<bool(const fs::path& file, int slot)> write;
};

std::vector<std::string> PageWords(const fs::path& file, int base, const std::string& value) {
    std::vector<std::string> words{"registers", "write", file.string(), std::to_string(base)};
    for (int r = 0; r < registers::kPageSize; ++r)
        words.push_back(value + std::to_string(r));
    return words;
}

// What the table window does on "数据保存": texts loaded earlier, one of them edited.
bool TableSave(const fs::path& file, int slot) {
    const registers::AllRead read = registers::ReadAllRegisters(file);
    if (read.status != registers::ReadAllStatus::Done)
        return false;
    AllTexts texts = read.texts;
    texts[std::size_t(200 + slot)] = "t" + std::to_string(slot);
    return registers::WriteAllRegisters(file, texts, &read.texts).status ==
           registers::WriteStatus::Done;
}

const std::vector<Writer> kWriters = {
    {"PageWrite",
     [](const fs::path& file, int slot) {
         return RunTool(PageWords(file, 24 * (1 + 2 * slot), "w")).status == 0;
     }},
    {"Import",
     [](const fs::path& file, int slot) {
         const fs::path csv = file.parent_path() / ("in" + std::to_string(slot) + ".csv");
         const std::string row =
             "S" + registers::FourDigits(100 + slot) + ",i" + std::to_string(slot) + "\r\n";
         std::FILE* f = std::fopen(csv.string().c_str(), "wb");
         std::fputs(row.c_str(), f);
         std::fclose(f);
         return RunTool({"registers", "import", file.string(), csv.string()}).status == 0;
     }},
    {"New",
     [](const fs::path& file, int) {
         return RunTool({"registers", "new", file.string()}).status == 0;
     }},
    {"TableSave", TableSave},
    {"RegisterEditor",
     [](const fs::path& file, int slot) {
         registers::PageTexts page;
         for (std::size_t r = 0; r < page.size(); ++r)
             page[r] = "e" + std::to_string(slot);
         return registers::WriteRegisterPage(file, 240 + 48 * slot, page).status ==
                registers::WriteStatus::Done;
     }},
};

std::string StartingFile() {
    std::string bytes = std::string(registers::kIdentification) + "\r\n";
    for (int k = 0; k < registers::kRegisterCount; ++k)
        bytes += registers::RegisterLine(k, std::to_string(k % 7)) + "\r\n";
    return bytes;
}

std::string AfterInTurn(const TempDir& dir, const std::string& name, const Writer& first,
                        int firstSlot, const Writer& second, int secondSlot) {
    const fs::path file = dir.Write(name, StartingFile());
    EXPECT_TRUE(first.write(file, firstSlot));
    EXPECT_TRUE(second.write(file, secondSlot));
    return ReadBytes(file);
}

// Writers take turns: whatever two writers do at once, the file ends as one of them after the
// other would leave it, and both say they succeeded.
TEST(RegisterWriters, EveryPairRunAtOnceLosesNothing) {
    constexpr int kRounds = 5;
    for (std::size_t a = 0; a < kWriters.size(); ++a) {
        for (std::size_t b = a; b < kWriters.size(); ++b) {
            const Writer& one = kWriters[a];
            const Writer& two = kWriters[b];
            TempDir dir;
            const std::string oneThenTwo = AfterInTurn(dir, "ab.dat", one, 0, two, 1);
            const std::string twoThenOne = AfterInTurn(dir, "ba.dat", two, 1, one, 0);
            for (int round = 0; round < kRounds; ++round) {
                const fs::path file = dir.Write("r.dat", StartingFile());
                bool oneDone = false;
                bool twoDone = false;
                std::thread first([&] { oneDone = one.write(file, 0); });
                std::thread second([&] { twoDone = two.write(file, 1); });
                first.join();
                second.join();
                const std::string pair = std::string(one.name) + " with " + two.name;
                EXPECT_TRUE(oneDone && twoDone) << pair << ", round " << round;
                const std::string after = ReadBytes(file);
                EXPECT_TRUE(after == oneThenTwo || after == twoThenOne)
                    << pair << ", round " << round;
                EXPECT_FALSE(fs::exists(registers::WorkingCopyPath(file))) << pair;
            }
        }
    }
}

}  // namespace
