#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/FileIo.h"
#include "tests/support/Portable.h"
#include "tests/support/ToolProcess.h"

namespace {

using Emulator = testsupport::EmulatorProcess;

std::vector<std::uint8_t> Ask(int fd, std::vector<std::uint8_t> bytes) {
    EXPECT_TRUE(portable::WriteAll(fd, bytes.data(), bytes.size()));
    std::vector<std::uint8_t> got;
    std::uint8_t b;
    if (portable::Readable(fd, std::chrono::seconds(2)) && portable::ReadSome(fd, &b, 1) == 1)
        got.push_back(b);
    return got;
}

TEST(EmulateCommandTest, ServesOnTheDeviceItPrintsStoresTheScreenAndStopsOnTerm) {
    const portable::TempDir dir("tarvex-emulate");
    const std::filesystem::path& folder = dir.path();
    Emulator emulator(TARVEX_BIN, {"--store", folder.string()});
    const std::string device = emulator.Line();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;

    const int fd = portable::OpenTerminal(device);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(Ask(fd, {1}), std::vector<std::uint8_t>{1});
    EXPECT_EQ(Ask(fd, {8}), std::vector<std::uint8_t>{8});
    std::vector<std::uint8_t> header(18, 0);
    header[0] = 24;
    header[2] = 2;  // status screen 5
    header[4] = 5;
    EXPECT_EQ(Ask(fd, header), std::vector<std::uint8_t>{24});
    for (int p = 0; p < 64; ++p) {
        std::vector<std::uint8_t> frame(18, 0);
        frame[0] = 9;
        if (p == 28)
            frame[1] = 0x80;  // block 7, byte 0: the top left pixel
        ASSERT_EQ(Ask(fd, frame), std::vector<std::uint8_t>{9}) << p;
    }
    ASSERT_TRUE(portable::WriteAll(fd, "\x0a", 1));
    const std::string logged = emulator.Line();
    EXPECT_EQ(logged.rfind("screen: screen kind 2 number 5", 0), 0u) << logged;
    portable::Close(fd);

    std::string picture;
    ASSERT_TRUE(fileio::ReadWholeFile(folder / "screen-status-005.pbm", picture));
    EXPECT_EQ(picture.substr(0, 10), "P4\n64 128\n");
    EXPECT_EQ(static_cast<unsigned char>(picture[10]), 0x80);
    EXPECT_EQ(emulator.Stop(), 0);
}

TEST(EmulateCommandTest, RefusesFaultOptionsThatAreNotNumbersAndStoresThatAreNoFolders) {
    const portable::TempDir dir("tarvex-no-store");
    const std::filesystem::path missing = dir / "none";
    const std::string notAFolder = TARVEX_BIN;
    for (std::vector<std::string> args : {std::vector<std::string>{"--delay", "soon"},
                                          {"--noise", "300"},
                                          {"--bogus"},
                                          {"--store", (missing / "sub").string()},
                                          {"--store", notAFolder}}) {
        Emulator emulator(TARVEX_BIN, args);
        EXPECT_EQ(emulator.Wait(), 64) << args[0];
    }
    EXPECT_FALSE(std::filesystem::exists(missing)) << "nothing created";
}

// A swap shorter than a host needs to see the unit leave would have it take the next unit for
// the same one: refused at the start, not a loop that never moves on.
TEST(EmulateCommandTest, RefusesASwapTooShortForTheHostToSeeTheUnitLeave) {
    const portable::TempDir dir("tarvex-swap");
    for (const char* swap : {"0", "199"}) {
        const testsupport::ToolRun run = testsupport::RunTool(
            TARVEX_BIN, dir.path(), {"emulate", "--units", "3", "--swap", swap});
        EXPECT_EQ(run.status, 64) << swap;
        EXPECT_NE(run.err.find("--swap 至少 200 毫秒"), std::string::npos) << run.err;
    }
}

}  // namespace
