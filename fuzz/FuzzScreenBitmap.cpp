// Any bytes as a bitmap file: the checks must never read past the end, a refused file gives one
// of the six messages, and an accepted one converts to a scratch file that reads back as the
// screen data, every byte the inverse of its bitmap byte.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "screen/ScreenImage.h"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

const std::filesystem::path& ScratchPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("fuzz-screen-" + std::to_string(getpid()) + "-" + std::string(screen::kScratchFileName));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that ASan sees any read past the end of the file.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view head = std::string_view(bytes).substr(0, screen::kBitmapFileSize);
    const int check = screen::CheckScreenBitmap(head);
    Check(check >= screen::kBitmapOk && check <= screen::kBitsPerPixelCheck, "check number");
    if (check != screen::kBitmapOk) {
        Check(!screen::CheckMessage(check).empty(), "message of a failed check");
        Check(size >= screen::kBitmapFileSize || check <= screen::kFileSizeCheck, "short file");
        return 0;
    }
    const screen::ScreenData screenData = screen::ScreenDataFromBitmap(head);
    Check(!screen::ConvertScreenBitmap(head, ScratchPath()), "scratch file written");
    std::ifstream in(ScratchPath(), std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    Check(written.size() == screen::kScreenDataSize, "scratch file size");
    Check(std::equal(written.begin(), written.end(), screenData.begin(),
                     [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }),
          "scratch file contents");
    std::uint32_t sumBitmap = 0;
    std::uint32_t sumScreen = 0;
    for (std::size_t i = screen::kPixelDataOffset; i < screen::kBitmapFileSize; ++i)
        sumBitmap += static_cast<std::uint8_t>(~static_cast<std::uint8_t>(head[i]));
    for (std::uint8_t b : screenData)
        sumScreen += b;
    Check(sumBitmap == sumScreen, "every pixel byte used once, inverted");
    return 0;
}
