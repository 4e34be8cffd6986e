#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "screen/ScreenImage.h"
#include "tests/common/FileFixtures.h"

namespace {

namespace fs = std::filesystem;

// A bitmap that passes every check, every pixel bit set to `fill` (1 is white with the usual
// palette, so the screen stays dark).
std::string Bitmap(bool fill = true) {
    std::string b(screen::kBitmapFileSize, '\0');
    auto put = [&](std::size_t at, int lo, int hi) {
        b[at] = static_cast<char>(lo);
        b[at + 1] = static_cast<char>(hi);
    };
    put(0, 'B', 'M');
    put(2, 0x3E, 0x04);
    put(10, 62, 0);
    put(14, 40, 0);
    put(18, 64, 0);
    put(22, 128, 0);
    put(26, 1, 0);
    put(28, 1, 0);
    put(34, 0, 4);
    put(58, 0xFF, 0xFF);
    b[60] = '\xFF';
    for (std::size_t i = screen::kPixelDataOffset; i < b.size(); ++i)
        b[i] = fill ? '\xFF' : '\0';
    return b;
}

// Clears the bit of picture pixel (row from the top, x from the left): black on white.
void Blacken(std::string& bitmap, int row, int x) {
    const std::size_t at = screen::kPixelDataOffset + (127 - row) * 8 + x / 8;
    bitmap[at] = static_cast<char>(bitmap[at] & ~(0x80 >> (x % 8)));
}

struct Spoil {
    const char* name;
    std::size_t offset;
    int value;
    int check;
    const char* message;
};

void PrintTo(const Spoil& s, std::ostream* os) {
    *os << s.name;
}

class ScreenCheckTest : public ::testing::TestWithParam<Spoil> {};

TEST_P(ScreenCheckTest, FirstFailingCheckGivesItsNumberAndMessage) {
    const Spoil& s = GetParam();
    std::string b = Bitmap();
    b[s.offset] = static_cast<char>(s.value);
    EXPECT_EQ(screen::CheckScreenBitmap(b), s.check);
    EXPECT_EQ(screen::CheckMessage(s.check), s.message);
}

INSTANTIATE_TEST_SUITE_P(
    EachCheck, ScreenCheckTest,
    ::testing::Values(Spoil{"Identifier", 1, 'N', 1, "文件格式错误: Identifier ERR!!!"},
                      Spoil{"FileSize", 3, 0x05, 2, "文件格式错误: File Size ERR!!!"},
                      Spoil{"Width", 18, 128, 3, "文件格式错误: Width ERR!!!"},
                      Spoil{"WidthHighByte", 19, 1, 3, "文件格式错误: Width ERR!!!"},
                      Spoil{"Height", 22, 64, 4, "文件格式错误: Height ERR!!!"},
                      Spoil{"TopDown", 23, 0xFF, 4, "文件格式错误: Height ERR!!!"},
                      Spoil{"DataSize", 35, 8, 5, "文件格式错误: Bitmap Data Size ERR!!"},
                      Spoil{"BitsPerPixel", 28, 4, 6, "文件格式错误: Bits Per Pixel ERR!!"},
                      // Fields beyond their low 16 bits are not looked at.
                      Spoil{"SizeUpperHalf", 4, 7, 0, ""}, Spoil{"DataOffset", 10, 99, 0, ""},
                      Spoil{"Compression", 30, 1, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScreenCheck, ChecksRunInOrderSoTheFirstFaultWins) {
    std::string b = Bitmap();
    b[18] = static_cast<char>(128);  // width
    b[28] = 4;                       // bits per pixel
    EXPECT_EQ(screen::CheckScreenBitmap(b), screen::kWidthCheck);
    b[2] = 0x76;  // a 4-bit bitmap of 64 x 128 has a different size
    EXPECT_EQ(screen::CheckScreenBitmap(b), screen::kFileSizeCheck);
}

TEST(ScreenCheck, EveryLengthUpTo2000IsRefusedOrConvertedWithoutReadingPastTheEnd) {
    const std::string full = Bitmap();
    for (std::size_t size = 0; size <= 2000; ++size) {
        std::string b = full;
        b.resize(size, '\x5A');
        // An exact-size copy lets the sanitizers see any read past the end.
        const std::string exact(b);
        const int check = screen::CheckScreenBitmap(exact);
        if (size < screen::kBitmapFileSize) {
            EXPECT_EQ(check, screen::kFileSizeCheck) << size;
        } else {
            ASSERT_EQ(check, screen::kBitmapOk) << size;
            EXPECT_EQ(screen::ScreenDataFromBitmap(exact), screen::ScreenDataFromBitmap(full));
        }
    }
    EXPECT_EQ(screen::CheckScreenBitmap("XY"), screen::kIdentifierCheck);
}

TEST(ScreenConversion, UniformPicturesInvert) {
    screen::ScreenData zeros{};
    screen::ScreenData ones;
    ones.fill(0xFF);
    EXPECT_EQ(screen::ScreenDataFromBitmap(Bitmap(true)), zeros);
    EXPECT_EQ(screen::ScreenDataFromBitmap(Bitmap(false)), ones);
}

struct Pixel {
    int row, x;
    int block, byte, bit;
};

void PrintTo(const Pixel& p, std::ostream* os) {
    *os << "pixel " << p.row << "," << p.x;
}

class PixelMappingTest : public ::testing::TestWithParam<Pixel> {};

TEST_P(PixelMappingTest, OneBlackPixelSetsExactlyItsScreenBit) {
    const Pixel& p = GetParam();
    std::string b = Bitmap();
    Blacken(b, p.row, p.x);
    const screen::ScreenData data = screen::ScreenDataFromBitmap(b);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const bool mine = i == static_cast<std::size_t>(p.block * 64 + p.byte);
        EXPECT_EQ(data[i], mine ? 1 << p.bit : 0) << "byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Corners, PixelMappingTest,
                         ::testing::Values(Pixel{0, 0, 7, 0, 7}, Pixel{0, 63, 0, 0, 0},
                                           Pixel{63, 0, 7, 63, 7}, Pixel{64, 0, 15, 0, 7},
                                           Pixel{127, 63, 8, 63, 0}, Pixel{5, 9, 6, 5, 6},
                                           Pixel{100, 42, 10, 36, 5}));

class ScratchFileTest : public ::testing::Test {
protected:
    testfs::TempDir temp{"tarvex-screen"};
    const fs::path& folder = temp.path();
};

TEST_F(ScratchFileTest, ConversionReplacesTheScratchFileAndIsRepeatable) {
    const fs::path scratch = folder / screen::kScratchFileName;
    testfs::WriteFile(scratch, std::string(5000, 'x'));
    std::string b = Bitmap();
    Blacken(b, 0, 0);
    ASSERT_FALSE(screen::ConvertScreenBitmap(b, scratch));
    const std::string first = testfs::ReadFile(scratch);
    ASSERT_EQ(first.size(), screen::kScreenDataSize);
    EXPECT_EQ(static_cast<unsigned char>(first[7 * 64]), 128);
    ASSERT_FALSE(screen::ConvertScreenBitmap(b, scratch));
    EXPECT_EQ(testfs::ReadFile(scratch), first);
}

TEST_F(ScratchFileTest, UnwritableScratchFileIsReportedWithItsPath) {
    const fs::path scratch = folder / "missing-folder" / screen::kScratchFileName;
    EXPECT_TRUE(screen::ConvertScreenBitmap(Bitmap(), scratch));
    EXPECT_EQ(screen::ScratchFailedMessage(scratch.string()),
              "不能生成文件： " + scratch.string() + " ！");
}

// Made by ImageMagick: convert -size 64x128 xc:white -fill black -draw "rectangle 0,0 0,0"
// -draw "rectangle 10,20 30,90" -monochrome -type bilevel BMP3:imagemagick-64x128.bmp
TEST_F(ScratchFileTest, BitmapFromImageMagickPassesAndMapsItsBlackPixels) {
    std::string head;
    ASSERT_TRUE(screen::ReadBitmapHead(TARVEX_TEST_DATA "/imagemagick-64x128.bmp", head));
    ASSERT_EQ(screen::CheckScreenBitmap(head), screen::kBitmapOk);
    const screen::ScreenData data = screen::ScreenDataFromBitmap(head);
    auto lit = [&](int row, int x) {
        const int block = (row / 64) * 8 + 7 - x / 8;
        return (data[block * 64 + row % 64] >> (7 - x % 8) & 1) == 1;
    };
    int count = 0;
    for (int row = 0; row < 128; ++row) {
        for (int x = 0; x < 64; ++x) {
            const bool black =
                (row == 0 && x == 0) || (row >= 20 && row <= 90 && x >= 10 && x <= 30);
            EXPECT_EQ(lit(row, x), black) << row << "," << x;
            count += lit(row, x);
        }
    }
    EXPECT_EQ(count, 1 + 71 * 21);
}

TEST_F(ScratchFileTest, OnlyTheFirst1086BytesOfALargeFileAreRead) {
    const fs::path big = folder / "big.bmp";
    testfs::WriteFile(big, Bitmap() + std::string(100000, '\0'));
    std::string head;
    ASSERT_TRUE(screen::ReadBitmapHead(big, head));
    EXPECT_EQ(head, Bitmap());
    EXPECT_FALSE(screen::ReadBitmapHead(folder / "none.bmp", head));
}

}  // namespace
