#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "charset/CharacterImage.h"
#include "tests/common/FileFixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace charset;

const std::string kIdent(kIdentification);

using testfs::ReadFile;

class CharacterImageTest : public testing::Test {
protected:
    fs::path File(const std::string& name, const std::string& bytes) {
        testfs::WriteFile(dir / name, bytes);
        return dir / name;
    }

    testfs::TempDir dir{"tarvex-charset"};
};

TEST_F(CharacterImageTest, NewImageIsTheIdentificationAndSpaces) {
    const std::string image = NewImage();
    EXPECT_EQ(image.size(), 8212u);
    EXPECT_EQ(image, kIdent + std::string(8192, ' '));
    EXPECT_EQ(CellOffset(4, 0), 52u);
    EXPECT_EQ(CellOffset(1023, 7), 8211u);
}

TEST_F(CharacterImageTest, SavesByteForByte) {
    std::string image = NewImage();
    image[CellOffset(5, 3)] = '\0';
    image[CellOffset(1023, 7)] = '\xff';
    ASSERT_FALSE(SaveImage(dir / "a.kxm", image));
    EXPECT_EQ(ReadFile(dir / "a.kxm"), image);
    EXPECT_TRUE(SaveImage(dir / "missing" / "a.kxm", image));
    EXPECT_TRUE(SaveImage("", image));
}

TEST_F(CharacterImageTest, LoadTakesTheFirstLineAndPadsItToAFullImage) {
    std::string full = NewImage();
    full[100] = '\0';
    full[101] = '\r';
    const struct {
        const char* name;
        std::string bytes;
        std::string image;
    } cases[] = {
        {"whole image", full, full},
        {"empty file", "", std::string(8212, ' ')},
        {"no identification", "hello", "hello" + std::string(8207, ' ')},
        {"cut at lf", "abc\r\ndef", "abc" + std::string(8209, ' ')},
        {"lone cr kept", "ab\rc", "ab\rc" + std::string(8208, ' ')},
        {"longer line kept whole", std::string(9000, 'x') + "\nrest", std::string(9000, 'x')},
    };
    for (const auto& c : cases) {
        const auto image = LoadImage(File(c.name, c.bytes));
        ASSERT_TRUE(image) << c.name;
        EXPECT_TRUE(*image == c.image) << c.name;
    }
    EXPECT_FALSE(LoadImage(dir / "missing.kxm"));
    EXPECT_FALSE(LoadImage(dir.path()));
}

TEST_F(CharacterImageTest, LoadedImageSavesBackUnchanged) {
    std::string bytes = "Not a resource file." + std::string(8192, 'q');
    const auto image = LoadImage(File("a.kxm", bytes));
    ASSERT_TRUE(image);
    ASSERT_FALSE(SaveImage(dir / "b.kxm", *image));
    EXPECT_EQ(ReadFile(dir / "b.kxm"), bytes);
}

}  // namespace
