#include "screen/ScreenImage.h"

#include "common/FileIo.h"
#include "common/Messages.h"

namespace screen {
namespace {

struct HeaderCheck {
    std::size_t offset;
    std::uint8_t low;
    std::uint8_t high;
    msg::Id message;
};

// Only the low 16 bits of each field are compared, and nothing else in the header is looked at.
constexpr HeaderCheck kChecks[] = {
    {0, 0x42, 0x4D, msg::Id::ScreenIdentifierError}, {2, 0x3E, 0x04, msg::Id::ScreenFileSizeError},
    {18, 64, 0, msg::Id::ScreenWidthError},          {22, 128, 0, msg::Id::ScreenHeightError},
    {34, 0, 4, msg::Id::ScreenDataSizeError},        {28, 1, 0, msg::Id::ScreenBitsError},
};

std::uint8_t At(std::string_view bytes, std::size_t offset) {
    return static_cast<std::uint8_t>(bytes[offset]);
}

bool Passes(const HeaderCheck& check, std::string_view head) {
    return At(head, check.offset) == check.low && At(head, check.offset + 1) == check.high;
}

}  // namespace

bool ReadBitmapHead(const std::filesystem::path& path, std::string& head) {
    // Only what the checks and the conversion look at; anything after it stays unread.
    return fileio::ReadLimited(path, kBitmapFileSize, head) != fileio::ReadStatus::Unreadable;
}

int CheckScreenBitmap(std::string_view head) {
    if (head.size() >= 2 && !Passes(kChecks[0], head))
        return kIdentifierCheck;
    if (head.size() < kBitmapFileSize)
        return kFileSizeCheck;
    for (int i = 0; i < kBitsPerPixelCheck; ++i) {
        if (!Passes(kChecks[i], head))
            return i + 1;
    }
    return kBitmapOk;
}

std::string_view CheckMessage(int check) {
    if (check < kIdentifierCheck || check > kBitsPerPixelCheck)
        return {};
    return msg::Source(kChecks[check - 1].message);
}

// Byte j of block g comes from picture row 64 * (g / 8) + j and byte column 7 - g % 8; the file
// holds the rows bottom-up from offset 62.
ScreenData ScreenDataFromBitmap(std::string_view head) {
    ScreenData data{};
    for (int g = 0; g < kBlocks; ++g) {
        for (int j = 0; j < kBlockBytes; ++j) {
            const int row = kBlockBytes * (g / 8) + j;
            const int column = kRowBytes - 1 - g % 8;
            const std::size_t offset =
                kPixelDataOffset + static_cast<std::size_t>((kRows - 1 - row) * kRowBytes + column);
            data[static_cast<std::size_t>(g * kBlockBytes + j)] =
                static_cast<std::uint8_t>(~At(head, offset));
        }
    }
    return data;
}

std::error_code ConvertScreenBitmap(std::string_view head, const std::filesystem::path& scratch) {
    const ScreenData data = ScreenDataFromBitmap(head);
    return fileio::WriteSafely(
        scratch, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

std::string ScratchFailedMessage(const std::string& scratchPath) {
    return msg::Text(msg::Id::CannotCreateFile, {scratchPath});
}

bool PixelLit(const LitRows& rows, int row, int x) {
    const std::uint8_t byte = rows[static_cast<std::size_t>(row * kRowBytes + x / 8)];
    return (byte & (0x80 >> (x % 8))) != 0;
}

void SetPixel(LitRows& rows, int row, int x, bool lit) {
    std::uint8_t& byte = rows[static_cast<std::size_t>(row * kRowBytes + x / 8)];
    const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
    byte = static_cast<std::uint8_t>(lit ? byte | bit : byte & ~bit);
}

// The inverse of ScreenDataFromBitmap, less its inversion: a set bit in the data is a lit pixel.
LitRows LitRowsFromScreenData(const ScreenData& data) {
    LitRows rows{};
    for (int g = 0; g < kBlocks; ++g) {
        for (int j = 0; j < kBlockBytes; ++j) {
            const int row = kBlockBytes * (g / 8) + j;
            const int column = kRowBytes - 1 - g % 8;
            rows[static_cast<std::size_t>(row * kRowBytes + column)] =
                data[static_cast<std::size_t>(g * kBlockBytes + j)];
        }
    }
    return rows;
}

namespace {

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string BitmapFromLitRows(const LitRows& rows) {
    std::string bytes(kBitmapFileSize, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittleEndian(bytes, 2, kBitmapFileSize, 4);
    PutLittleEndian(bytes, 10, kPixelDataOffset, 4);
    PutLittleEndian(bytes, 14, 40, 4);  // information header size
    PutLittleEndian(bytes, 18, kRowBytes * 8, 4);
    PutLittleEndian(bytes, 22, kRows, 4);
    PutLittleEndian(bytes, 26, 1, 2);  // planes
    PutLittleEndian(bytes, 28, 1, 2);  // bits per pixel
    PutLittleEndian(bytes, 34, kRows * kRowBytes, 4);
    PutLittleEndian(bytes, 38, 2835, 4);  // 72 dots an inch, both ways
    PutLittleEndian(bytes, 42, 2835, 4);
    PutLittleEndian(bytes, 46, 2, 4);  // colours used
    // Palette entry 0 black, entry 1 white (blue, green, red, reserved).
    PutLittleEndian(bytes, 58, 0x00FFFFFF, 4);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kRowBytes; ++column) {
            bytes[kPixelDataOffset +
                  static_cast<std::size_t>((kRows - 1 - row) * kRowBytes + column)] =
                static_cast<char>(~rows[static_cast<std::size_t>(row * kRowBytes + column)]);
        }
    }
    return bytes;
}

}  // namespace screen
