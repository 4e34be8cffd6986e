#include "screen/PictureImport.h"

#include <algorithm>
#include <array>

#include <QImage>
#include <QImageReader>
#include <QString>

#include "common/FileIo.h"
#include "common/Messages.h"

namespace screen {
namespace {

constexpr int kWidth = kRowBytes * 8;

GreyPicture Blank(int width, int height, std::uint8_t level) {
    return {width, height,
            std::vector<std::uint8_t>(
                static_cast<std::size_t>(width) * static_cast<std::size_t>(height), level)};
}

std::uint8_t& LevelAt(GreyPicture& picture, int x, int y) {
    return picture.levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                          static_cast<std::size_t>(x)];
}

GreyPicture Rotated(const GreyPicture& source, Rotation rotation) {
    if (rotation == Rotation::None)
        return source;
    if (rotation == Rotation::Half) {
        GreyPicture turned = source;
        std::reverse(turned.levels.begin(), turned.levels.end());
        return turned;
    }
    GreyPicture turned = Blank(source.height, source.width, 255);
    for (int y = 0; y < turned.height; ++y) {
        for (int x = 0; x < turned.width; ++x) {
            // Left: the old right column becomes the top row; right: the old left column.
            LevelAt(turned, x, y) = rotation == Rotation::Left
                                        ? source.At(source.width - 1 - y, x)
                                        : source.At(y, source.height - 1 - x);
        }
    }
    return turned;
}

struct Area {
    int x, y, width, height;
};

// Each target pixel averages the source pixels its area touches: integer arithmetic, so the
// result is the same on every machine.
void Resample(const GreyPicture& source, Area from, GreyPicture& target, Area to) {
    for (int ty = 0; ty < to.height; ++ty) {
        const int y0 = from.y + ty * from.height / to.height;
        const int y1 =
            std::max(y0 + 1, from.y + ((ty + 1) * from.height + to.height - 1) / to.height);
        for (int tx = 0; tx < to.width; ++tx) {
            const int x0 = from.x + tx * from.width / to.width;
            const int x1 =
                std::max(x0 + 1, from.x + ((tx + 1) * from.width + to.width - 1) / to.width);
            long long sum = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    sum += source.At(x, y);
            const long long count = static_cast<long long>(y1 - y0) * (x1 - x0);
            LevelAt(target, to.x + tx, to.y + ty) =
                static_cast<std::uint8_t>((sum + count / 2) / count);
        }
    }
}

GreyPicture Fitted(const GreyPicture& source, Fit fit) {
    GreyPicture screen = Blank(kWidth, kRows, 255);
    const int w = source.width;
    const int h = source.height;
    // Compared as cross products: wider than the screen's 1 : 2 or not.
    const bool wider = static_cast<long long>(w) * kRows > static_cast<long long>(h) * kWidth;
    Area from{0, 0, w, h};
    Area to{0, 0, kWidth, kRows};
    if (fit == Fit::Crop) {
        if (wider) {
            from.width = std::max(1, static_cast<int>(static_cast<long long>(h) * kWidth / kRows));
            from.x = (w - from.width) / 2;
        } else {
            from.height = std::max(1, static_cast<int>(static_cast<long long>(w) * kRows / kWidth));
            from.y = (h - from.height) / 2;
        }
    } else if (fit == Fit::Pad) {
        if (wider) {
            to.height = std::max(1, static_cast<int>(static_cast<long long>(h) * kWidth / w));
            to.y = (kRows - to.height) / 2;
        } else {
            to.width = std::max(1, static_cast<int>(static_cast<long long>(w) * kRows / h));
            to.x = (kWidth - to.width) / 2;
        }
    }
    Resample(source, from, screen, to);
    return screen;
}

// The 8 x 8 Bayer matrix: thresholds spread evenly over each tile.
constexpr std::array<std::array<int, 8>, 8> kBayer{{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

LitRows Quantised(const GreyPicture& screen, const ImportOptions& options) {
    LitRows rows{};
    std::vector<int> levels(screen.levels.begin(), screen.levels.end());
    if (options.invert) {
        for (int& level : levels)
            level = 255 - level;
    }
    auto at = [&levels](int x, int y) -> int& {
        return levels[static_cast<std::size_t>(y * kWidth + x)];
    };
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int level = at(x, y);
            bool lit = level < options.threshold;
            if (options.dither == Dither::Ordered) {
                // -126 to +126 around the threshold.
                const int bias = (2 * kBayer[y % 8][x % 8] + 1) * 2 - 128;
                lit = level + bias < options.threshold;
            } else if (options.dither == Dither::FloydSteinberg) {
                const int error = level - (lit ? 0 : 255);
                if (x + 1 < kWidth)
                    at(x + 1, y) += error * 7 / 16;
                if (y + 1 < kRows) {
                    if (x > 0)
                        at(x - 1, y + 1) += error * 3 / 16;
                    at(x, y + 1) += error * 5 / 16;
                    if (x + 1 < kWidth)
                        at(x + 1, y + 1) += error / 16;
                }
            }
            SetPixel(rows, y, x, lit);
        }
    }
    return rows;
}

}  // namespace

QImage LoadPicture(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return {};
    QImageReader reader(QString::fromStdU16String(path.u16string()));
    reader.setAutoTransform(true);
    return reader.read();
}

std::string PictureRefusal(const std::filesystem::path& path, std::string_view shown) {
    QImageReader reader(QString::fromStdU16String(path.u16string()));
    const QSize size = reader.size();
    // Qt decodes to 32 bits a pixel and refuses what would take more than its limit.
    const qint64 needed = qint64(size.width()) * size.height() * 4;
    const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
    if (size.isValid() && limit > 0 && needed > limit)
        return msg::Text(msg::Id::PictureTooLarge,
                         {shown, std::to_string(needed), std::to_string(limit)});
    return msg::Text(msg::Id::PictureCannotRead, {shown});
}

GreyPicture GreyFromImage(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    GreyPicture grey = Blank(argb.width(), argb.height(), 255);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = line[x];
            const int luma =
                (299 * qRed(pixel) + 587 * qGreen(pixel) + 114 * qBlue(pixel) + 500) / 1000;
            const int alpha = qAlpha(pixel);
            LevelAt(grey, x, y) =
                static_cast<std::uint8_t>((luma * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
    return grey;
}

GreyPicture FittedGrey(const GreyPicture& picture, Rotation rotation, Fit fit) {
    if (picture.width <= 0 || picture.height <= 0)
        return Blank(kWidth, kRows, 255);
    return Fitted(Rotated(picture, rotation), fit);
}

LitRows OneBit(const GreyPicture& screen, const ImportOptions& options) {
    return Quantised(screen, options);
}

LitRows ImportGrey(const GreyPicture& picture, const ImportOptions& options) {
    return OneBit(FittedGrey(picture, options.rotation, options.fit), options);
}

LitRows ImportPicture(const QImage& image, const ImportOptions& options) {
    return ImportGrey(GreyFromImage(image), options);
}

QImage PreviewImage(const LitRows& rows, int zoom) {
    zoom = std::max(1, zoom);
    QImage image(kWidth * zoom, kRows * zoom, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = PixelLit(rows, y / zoom, x / zoom) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
    return image;
}

Rotation Turned(Rotation rotation, bool clockwise) {
    const int quarters = (static_cast<int>(rotation) + (clockwise ? 1 : 3)) % 4;
    return static_cast<Rotation>(quarters);
}

std::error_code SaveScreenBitmap(const std::filesystem::path& path, const LitRows& rows) {
    return fileio::WriteSafely(path, BitmapFromLitRows(rows));
}

ScreenRead ReadScreenPicture(const std::filesystem::path& path) {
    ScreenRead read;
    std::string head;
    read.opened = ReadBitmapHead(path, head);
    if (!read.opened)
        return read;
    ScreenData data{};
    if (head.size() == kScreenDataSize) {
        std::copy(head.begin(), head.end(), reinterpret_cast<char*>(data.data()));
    } else {
        read.check = CheckScreenBitmap(head);
        if (read.check != kBitmapOk)
            return read;
        data = ScreenDataFromBitmap(head);
    }
    read.rows = LitRowsFromScreenData(data);
    return read;
}

std::string TextPreview(const LitRows& rows) {
    std::string text;
    for (int y = 0; y < kRows; y += 2) {
        for (int x = 0; x < kWidth; ++x) {
            const bool top = PixelLit(rows, y, x);
            const bool bottom = PixelLit(rows, y + 1, x);
            text += top && bottom ? "\u2588" : top ? "\u2580" : bottom ? "\u2584" : " ";
        }
        text += '\n';
    }
    return text;
}

}  // namespace screen
