#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// A 64 x 128 one-bit bitmap turned into the controller's screen data: 16 blocks of 64 bytes,
// each block one byte column of one half of the picture, pixels inverted.
namespace screen {

inline constexpr std::size_t kBitmapFileSize = 1086;
inline constexpr std::size_t kPixelDataOffset = 62;
inline constexpr int kRows = 128;
inline constexpr int kRowBytes = 8;
inline constexpr int kBlocks = 16;
inline constexpr int kBlockBytes = 64;
inline constexpr std::size_t kScreenDataSize = kBlocks * kBlockBytes;
inline constexpr std::string_view kScratchFileName = "dat01.dat";

using ScreenData = std::array<std::uint8_t, kScreenDataSize>;

// The header checks, numbered in the order they run; 0 when all pass.
enum BitmapCheck : int {
    kBitmapOk = 0,
    kIdentifierCheck = 1,
    kFileSizeCheck = 2,
    kWidthCheck = 3,
    kHeightCheck = 4,
    kDataSizeCheck = 5,
    kBitsPerPixelCheck = 6,
};

// The first kBitmapFileSize bytes of the file (fewer when it is shorter); false when it cannot
// be opened. Nothing past them is ever looked at, so a large file costs no more than a small one.
bool ReadBitmapHead(const std::filesystem::path& path, std::string& head);

// Runs the six checks on the head of a bitmap file. A file too short to hold the whole picture
// fails the size check (or the identifier check, when its first two bytes are already wrong), so
// the conversion never reads past the end.
int CheckScreenBitmap(std::string_view head);

// What the user is told for a failed check (UTF-8); empty for kBitmapOk.
std::string_view CheckMessage(int check);

// The screen data of a bitmap that passed the checks.
ScreenData ScreenDataFromBitmap(std::string_view head);

// Converts a bitmap that passed the checks and writes the scratch file anew; on failure the
// old scratch file, if any, is left as it was.
std::error_code ConvertScreenBitmap(std::string_view head, const std::filesystem::path& scratch);

std::string ScratchFailedMessage(const std::string& scratchPath);

// A screen as the display shows it: 128 rows from the top, 8 bytes a row, the leftmost pixel in
// the top bit of its byte, a set bit for a lit (dark) pixel.
using LitRows = std::array<std::uint8_t, kRows * kRowBytes>;

bool PixelLit(const LitRows& rows, int row, int x);
void SetPixel(LitRows& rows, int row, int x, bool lit);

// The picture screen data shows, so a preview shows exactly what is sent.
LitRows LitRowsFromScreenData(const ScreenData& data);

// The 1086-byte bitmap the checks accept and the conversion turns back into `rows`: information
// header of 40 bytes, palette black then white, rows bottom-up, a lit pixel as bit 0.
std::string BitmapFromLitRows(const LitRows& rows);

}  // namespace screen
