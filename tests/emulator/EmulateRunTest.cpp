#include <gtest/gtest.h>

#include "emulator/EmulateRun.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(EmulateRunTest, ByteListsAreCommaSeparatedBytes) {
    struct Row {
        const char* text;
        std::optional<Bytes> bytes;
    };
    const Row rows[] = {
        {"7", Bytes{7}},       {"7,200,0", Bytes{7, 200, 0}}, {"255", Bytes{255}},
        {"256", std::nullopt}, {"-1", std::nullopt},          {"7,", std::nullopt},
        {"", std::nullopt},    {"7,,8", std::nullopt},        {"0x10", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(emu::ParseByteList(row.text), row.bytes) << row.text;
}

TEST(EmulateRunTest, CountsAreWholeNumbersNotBelowTheLeast) {
    EXPECT_EQ(emu::ParseCount("3", 1), 3);
    EXPECT_EQ(emu::ParseCount("0", 0), 0);
    EXPECT_EQ(emu::ParseCount("0", 1), std::nullopt);
    EXPECT_EQ(emu::ParseCount("12ms", 0), std::nullopt);
    EXPECT_EQ(emu::ParseCount("", 0), std::nullopt);
}

}  // namespace
