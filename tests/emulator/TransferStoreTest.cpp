#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "emulator/TransferStore.h"
#include "tests/common/FileFixtures.h"

namespace {

emu::Transfer Screen(int kind, int number) {
    emu::Transfer t;
    t.kind = emu::TransferKind::Screen;
    t.header[1] = static_cast<std::uint8_t>(kind);
    t.header[3] = static_cast<std::uint8_t>(number);
    t.data.assign(1024, 0);
    return t;
}

TEST(TransferStoreTest, FilesAreNamedForWhatTheyHold) {
    emu::Transfer program;
    program.header[1] = 12;
    emu::Transfer page;
    page.kind = emu::TransferKind::Parameters;
    page.header[0] = 1;
    page.header[1] = 44;
    EXPECT_EQ(emu::StoredName(program), "program-012.kxo");
    EXPECT_EQ(emu::StoredName(page), "parameters-page-300.dat");
    EXPECT_EQ(emu::StoredName(Screen(0, 0)), "screen-startup-000.pbm");
    EXPECT_EQ(emu::StoredName(Screen(2, 5)), "screen-status-005.pbm");
}

TEST(TransferStoreTest, ObjectProgramGetsItsHeaderAndWholeRecordsOnly) {
    emu::Transfer t;
    t.data.assign(32, 0x11);  // one record of 24 bytes and the padding of the last packet
    const std::string bytes = emu::StoredBytes(t);
    EXPECT_EQ(bytes, "This is RVL412E.kxo!" + std::string(24, '\x11'));
}

TEST(TransferStoreTest, ParameterPageIsARegisterFile) {
    emu::Transfer t;
    t.kind = emu::TransferKind::Parameters;
    t.data = {255, 255, 255, 231, 0, 0, 0, 250};
    EXPECT_EQ(emu::StoredBytes(t),
              "This is Par.dat for RVL412E. By RSE.\r\n[S0000] = -25\r\n[S0001] = 250\r\n");
}

TEST(TransferStoreTest, ScreenPictureShowsDarkPixelsWhereTheControllerDoes) {
    emu::Transfer t = Screen(0, 0);
    t.data[7 * 64] = 0x80;       // top left
    t.data[8 * 64 + 63] = 0x01;  // bottom right
    t.data[15 * 64] = 0x80;      // row 64, leftmost
    const std::string pbm = emu::StoredBytes(t);
    const std::string head = "P4\n64 128\n";
    ASSERT_EQ(pbm.size(), head.size() + 1024);
    EXPECT_EQ(pbm.substr(0, head.size()), head);
    const std::string pixels = pbm.substr(head.size());
    EXPECT_EQ(static_cast<unsigned char>(pixels[0]), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(pixels[127 * 8 + 7]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>(pixels[64 * 8]), 0x80);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), '\0'), 1024 - 3);
}

TEST(TransferStoreTest, StoreWritesIntoTheFolderAndCreatesNone) {
    const testfs::TempDir temp("tarvex-store");
    emu::Transfer t;
    t.data.assign(24, 7);
    EXPECT_TRUE(emu::StoreTransfer(temp / "sub", t).empty());
    EXPECT_FALSE(std::filesystem::exists(temp / "sub"));
    const auto written = emu::StoreTransfer(temp.path(), t);
    ASSERT_EQ(written, temp / "program-000.kxo");
    EXPECT_EQ(testfs::ReadFile(written), emu::StoredBytes(t));
}

}  // namespace
