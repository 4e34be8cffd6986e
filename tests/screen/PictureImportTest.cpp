#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <QImage>

#include "common/FileIo.h"
#include "screen/PictureImport.h"
#include "screen/ScreenImage.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ToolProcess.h"

namespace {

namespace fs = std::filesystem;
using screen::Dither;
using screen::Fit;
using screen::ImportOptions;
using screen::Rotation;

const fs::path kPictures = fs::path(TARVEX_TEST_DATA) / "pictures";

std::string Bytes(const fs::path& path) {
    std::string bytes;
    EXPECT_TRUE(fileio::ReadWholeFile(path, bytes)) << path;
    return bytes;
}

std::string AsBytes(const screen::LitRows& rows) {
    return screen::BitmapFromLitRows(rows);
}

// Each committed picture through the options, against the bitmap committed beside it; the
// same rows run through `tarvex screen import` so that its options read the same.
struct GoldenCase {
    const char* expected;
    const char* picture;
    ImportOptions options;
    std::vector<std::string> words;
};

const GoldenCase kGolden[] = {
    {"ramp-default", "ramp.png", {}, {}},
    {"ramp-ordered", "ramp.png", {.dither = Dither::Ordered}, {"--dither", "ordered"}},
    {"ramp-fs", "ramp.png", {.dither = Dither::FloydSteinberg}, {"--dither", "fs"}},
    {"ramp-invert-60",
     "ramp.png",
     {.invert = true, .threshold = 60},
     {"--invert", "--threshold", "60"}},
    {"mark-exact", "mark.bmp", {}, {}},
    {"mark-right-pad",
     "mark.bmp",
     {.rotation = Rotation::Right, .fit = Fit::Pad},
     {"--rotate", "right", "--fit", "pad"}},
    {"wide-crop", "wide.gif", {.fit = Fit::Crop}, {"--fit", "crop"}},
    {"wide-pad-left",
     "wide.gif",
     {.rotation = Rotation::Left, .fit = Fit::Pad},
     {"--fit", "pad", "--rotate", "left"}},
    {"glyph-pad", "glyph.pbm", {.fit = Fit::Pad}, {"--fit=pad"}},
    {"photo-crop-fs",
     "photo.jpg",
     {.dither = Dither::FloydSteinberg, .fit = Fit::Crop},
     {"--fit", "crop", "--dither", "fs"}},
};

fs::path Expected(const GoldenCase& c) {
    return kPictures / "expected" / (std::string(c.expected) + ".bmp");
}

TEST(PictureImport, CommittedPicturesGiveTheCommittedBitmaps) {
    for (const GoldenCase& c : kGolden) {
        SCOPED_TRACE(c.expected);
        const QImage picture = screen::LoadPicture(kPictures / c.picture);
        ASSERT_FALSE(picture.isNull());
        const std::string bitmap = AsBytes(screen::ImportPicture(picture, c.options));
        EXPECT_EQ(screen::CheckScreenBitmap(bitmap), screen::kBitmapOk);
        EXPECT_EQ(bitmap, Bytes(Expected(c)));
    }
}

// One dark pixel near the top left of a 128 x 64 picture, turned onto the 64 x 128 screen.
TEST(PictureImport, QuarterTurnsPutThePixelWhereTheTurnTakesIt) {
    QImage picture(128, 64, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(0, 1, qRgb(0, 0, 0));
    const struct {
        Rotation rotation;
        int row, x;
    } turns[] = {{Rotation::Right, 0, 62}, {Rotation::Left, 127, 1}};
    for (const auto& t : turns) {
        const screen::LitRows rows = screen::ImportPicture(picture, {.rotation = t.rotation});
        int lit = 0;
        for (int row = 0; row < screen::kRows; ++row)
            for (int x = 0; x < 64; ++x)
                lit += screen::PixelLit(rows, row, x);
        EXPECT_EQ(lit, 1);
        EXPECT_TRUE(screen::PixelLit(rows, t.row, t.x)) << static_cast<int>(t.rotation);
    }
    EXPECT_EQ(screen::Turned(Rotation::Left, true), Rotation::None);
    EXPECT_EQ(screen::Turned(Rotation::None, false), Rotation::Left);
    EXPECT_EQ(screen::Turned(Rotation::Right, true), Rotation::Half);
}

// A picture already 64 x 128 and black and white is copied pixel for pixel, whatever the
// dithering (pure black and white never dither) and the fit.
TEST(PictureImport, AScreenSizedBlackAndWhitePictureIsCopiedExactly) {
    std::mt19937 random(14);
    QImage picture(64, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, random() % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    for (const Dither dither : {Dither::None, Dither::Ordered, Dither::FloydSteinberg}) {
        for (const Fit fit : {Fit::Scale, Fit::Crop, Fit::Pad}) {
            const screen::LitRows rows =
                screen::ImportPicture(picture, {.dither = dither, .fit = fit});
            for (int y = 0; y < 128; ++y)
                for (int x = 0; x < 64; ++x)
                    ASSERT_EQ(screen::PixelLit(rows, y, x), picture.pixel(x, y) == qRgb(0, 0, 0))
                        << y << "," << x << " dither " << static_cast<int>(dither);
        }
    }
}

// What the preview decodes from the screen data is the picture the bitmap holds, and the
// bitmap written from it is the bitmap again.
TEST(PictureImport, ScreenDataDecodesBackToTheBitmap) {
    std::mt19937 random(620);
    for (int round = 0; round < 20; ++round) {
        screen::LitRows rows{};
        for (std::uint8_t& byte : rows)
            byte = static_cast<std::uint8_t>(random());
        const std::string bitmap = screen::BitmapFromLitRows(rows);
        ASSERT_EQ(bitmap.size(), screen::kBitmapFileSize);
        ASSERT_EQ(screen::CheckScreenBitmap(bitmap), screen::kBitmapOk);
        const screen::LitRows decoded =
            screen::LitRowsFromScreenData(screen::ScreenDataFromBitmap(bitmap));
        ASSERT_EQ(decoded, rows);
        ASSERT_EQ(screen::BitmapFromLitRows(decoded), bitmap);
    }
    // The top left pixel is the top bit of block 7's first byte.
    screen::ScreenData data{};
    data[7 * 64] = 0x80;
    const screen::LitRows rows = screen::LitRowsFromScreenData(data);
    EXPECT_TRUE(screen::PixelLit(rows, 0, 0));
    EXPECT_EQ(screen::TextPreview(rows).substr(0, 4), "\u2580 ");
}

TEST(PictureImport, TextPreviewDrawsTwoRowsALine) {
    screen::LitRows rows{};
    screen::SetPixel(rows, 0, 0, true);
    screen::SetPixel(rows, 1, 1, true);
    screen::SetPixel(rows, 0, 2, true);
    screen::SetPixel(rows, 1, 2, true);
    screen::SetPixel(rows, 127, 63, true);
    const std::string text = screen::TextPreview(rows);
    EXPECT_EQ(text.substr(0, 10), "\u2580\u2584\u2588 ");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 64);
    EXPECT_EQ(text.substr(text.size() - 4), "\u2584\n");
}

class ScreenCommandTest : public testsupport::TempFolder {
protected:
    ScreenCommandTest() : TempFolder("tarvex-screen-cli") {}
    testsupport::ToolRun Tarvex(std::vector<std::string> args) const {
        args.insert(args.begin(), "screen");
        return testsupport::RunTool(TARVEX_BIN, folder, std::move(args));
    }
};

TEST_F(ScreenCommandTest, ImportWritesTheCommittedBitmaps) {
    for (const GoldenCase& c : kGolden) {
        SCOPED_TRACE(c.expected);
        const fs::path out = folder / (std::string(c.expected) + ".bmp");
        std::vector<std::string> args{"import", (kPictures / c.picture).string(), "-o",
                                      out.string()};
        args.insert(args.end(), c.words.begin(), c.words.end());
        const testsupport::ToolRun run = Tarvex(args);
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(Bytes(out), Bytes(Expected(c)));
    }
}

TEST_F(ScreenCommandTest, PreviewShowsBitmapAndScreenDataAlike) {
    const fs::path bitmap = Expected(kGolden[4]);
    const fs::path data = folder / "screen.dat";
    ASSERT_EQ(Tarvex({bitmap.string(), "-o", data.string()}).status, 0);
    const testsupport::ToolRun fromBitmap = Tarvex({"preview", bitmap.string()});
    const testsupport::ToolRun fromData = Tarvex({"preview", data.string()});
    EXPECT_EQ(fromBitmap.status, 0);
    std::string bytes = Bytes(bitmap);
    EXPECT_EQ(
        fromBitmap.out,
        screen::TextPreview(screen::LitRowsFromScreenData(screen::ScreenDataFromBitmap(bytes))));
    EXPECT_EQ(fromData.out, fromBitmap.out);
}

// A refused bitmap keeps its message and says what is wanted; faults of the words are usage.
TEST_F(ScreenCommandTest, RefusalsAndFaults) {
    const std::string wanted =
        "需要 64 × 128、1 位色、1086 字节的 BMP 文件，可用“画面转换”生成。\n";
    const std::string picture = (kPictures / "mark.bmp").string();
    const std::string out = (folder / "x.bmp").string();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string errStart;
    } rows[] = {
        {{picture}, 1, "文件格式错误: File Size ERR!!!\n" + wanted, ""},
        {{"preview", picture}, 1, "文件格式错误: File Size ERR!!!\n" + wanted, ""},
        {{"import", (kPictures / "ramp.png").string(), "-o", out, "--rotate", "up"},
         64,
         "",
         "tarvex screen: --rotate must be left or right, not up\n"},
        {{"import", picture, "-o", out, "--threshold", "256"},
         64,
         "",
         "tarvex screen: --threshold must be a number from 0 to 255, not 256\n"},
        {{"import", picture, "-o", out, "--dither", "random"},
         64,
         "",
         "tarvex screen: --dither must be none, ordered or fs, not random\n"},
        {{"import", picture, "-o", out, "--fit", "fill"},
         64,
         "",
         "tarvex screen: --fit must be scale, crop or pad, not fill\n"},
        {{"import", picture},
         64,
         "",
         "tarvex screen: import takes one picture and -o SCREEN.bmp\n"},
        {{picture, "--invert"}, 64, "", "tarvex screen: --invert works only with screen import\n"},
        {{"import", (kPictures / "expected").string(), "-o", out},
         4,
         "不能读取图片： " + (kPictures / "expected").string() + " ！\n",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.back());
        const testsupport::ToolRun run = Tarvex(row.args);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.err.substr(0, row.errStart.size()), row.errStart);
    }
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
