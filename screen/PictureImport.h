#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "screen/ScreenImage.h"

class QImage;

// Any picture Qt reads, turned into a screen: rotated, fitted to 64 x 128, made one-bit by a
// threshold with or without dithering. QtGui's image decoding only; no widgets.
namespace screen {

// Quarter turns; the dialog also turns a picture upside down.
enum class Rotation { None, Right, Half, Left };
enum class Dither { None, Ordered, FloydSteinberg };
// Scale stretches the picture onto the screen, Crop fills the screen and cuts the overhang,
// Pad shows the whole picture on white.
enum class Fit { Scale, Crop, Pad };

struct ImportOptions {
    Rotation rotation = Rotation::None;
    bool invert = false;
    int threshold = 128;  // a grey below it is lit
    Dither dither = Dither::None;
    Fit fit = Fit::Scale;
};

// Grey levels, 0 black to 255 white, rows from the top.
struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> levels;

    std::uint8_t At(int x, int y) const {
        return levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The picture in a file, turned the way its own orientation tag says; a null image when Qt
// cannot read it or it is no regular file (a pipe could keep the reader waiting).
QImage LoadPicture(const std::filesystem::path& path);

// Why LoadPicture gave no picture, as the user reads it (UTF-8): a picture larger than the
// reader's memory limit is named with its size and the limit; anything else cannot be read.
// `shown` is the name as the user gave it.
std::string PictureRefusal(const std::filesystem::path& path, std::string_view shown);

// Transparent parts count as white.
GreyPicture GreyFromImage(const QImage& image);

LitRows ImportGrey(const GreyPicture& picture, const ImportOptions& options);
// The two steps of ImportGrey: turned and fitted to 64 x 128 grey levels, then made one-bit.
// A dialog keeps the first while only the threshold, inversion or dithering change.
GreyPicture FittedGrey(const GreyPicture& picture, Rotation rotation, Fit fit);
LitRows OneBit(const GreyPicture& screen, const ImportOptions& options);
LitRows ImportPicture(const QImage& image, const ImportOptions& options);

// Black lit pixels on white, each `zoom` x `zoom` screen pixels.
QImage PreviewImage(const LitRows& rows, int zoom);

// One quarter turn further, clockwise or not.
Rotation Turned(Rotation rotation, bool clockwise);

// Writes the accepted bitmap through the safe write.
std::error_code SaveScreenBitmap(const std::filesystem::path& path, const LitRows& rows);

// A screen bitmap that passes the checks, or the 1024 bytes of screen data the conversion
// writes: what the display will show. `check` is the failed check of anything else.
struct ScreenRead {
    bool opened = false;
    int check = kBitmapOk;
    LitRows rows{};
};
ScreenRead ReadScreenPicture(const std::filesystem::path& path);

// The screen for a terminal: two rows a line in half blocks, 64 lines of 64 characters.
std::string TextPreview(const LitRows& rows);

}  // namespace screen
