#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ToolRunner.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGolden = TARVEX_COMPILE_GOLDEN;
const fs::path kSeeds = TARVEX_COMPILE_SEEDS;

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Each seed program beside what the compile makes of it, as scripts/update-compiler-golden wrote
// them: the object bytes (none for a refused line), what the tool printed and its exit code.
TEST(CompileGolden, EverySeedCompilesToItsGoldenObjectAndMessage) {
    int programs = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kGolden)) {
        if (entry.path().extension() != ".kxc")
            continue;
        ++programs;
        const std::string name = entry.path().stem().string();
        TempDir dir;
        const std::string program = dir.Write(name + ".kxc", ReadBytes(entry.path()));
        const fs::path object = dir.Path(name + ".kxo");

        const ToolRun run = RunTool({"compile", program, "-o", object.string()});

        // The golden run named its files without a folder.
        std::string printed = run.out + run.err + "exit " + std::to_string(run.status) + "\n";
        ReplaceAll(printed, dir.Path("").string(), "");
        EXPECT_EQ(printed, ReadBytes(kGolden / (name + ".msg"))) << name;
        const fs::path golden = kGolden / (name + ".kxo");
        ASSERT_EQ(fs::exists(object), fs::exists(golden)) << name;
        if (fs::exists(golden)) {
            EXPECT_EQ(ReadBytes(object), ReadBytes(golden)) << name;
        }
    }
    EXPECT_GT(programs, 0);
}

// A seed added or changed without running the script would go untested.
TEST(CompileGolden, TheGoldenProgramsAreTheSeeds) {
    for (const fs::directory_entry& entry : fs::directory_iterator(kSeeds)) {
        const fs::path golden = kGolden / entry.path().filename();
        ASSERT_TRUE(fs::exists(golden)) << golden;
        EXPECT_EQ(ReadBytes(golden), ReadBytes(entry.path())) << golden;
    }
}

}  // namespace
