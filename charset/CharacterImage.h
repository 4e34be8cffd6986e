#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// The character resource: an identification text and 1024 entries of eight character codes, held
// as the exact bytes of the resource file.
namespace charset {

inline constexpr std::string_view kIdentification = "This is kx.bmp file!";
inline constexpr int kEntryCount = 1024;
inline constexpr int kEntryLength = 8;
inline constexpr std::size_t kImageSize = kIdentification.size() + kEntryCount * kEntryLength;

// The identification followed by spaces.
std::string NewImage();

// Where character j of entry n sits in the image.
constexpr std::size_t CellOffset(int entry, int j) {
    return kIdentification.size() + static_cast<std::size_t>(entry * kEntryLength + j);
}

// The file's first line (up to the first LF, a CR before it dropped), its identification not
// tested. A shorter line is padded with spaces to a full image so every entry can be edited; a
// longer one is kept whole. Nothing when the file cannot be opened.
std::optional<std::string> LoadImage(const std::filesystem::path& path);

// Writes the image byte for byte, replacing the file in one step.
std::error_code SaveImage(const std::filesystem::path& path, std::string_view image);

}  // namespace charset
