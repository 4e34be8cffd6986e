#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/Portable.h"

// What tests of file writers share: a fresh folder per test, removed with everything in it
// afterwards, whole-file helpers and an injected write failure.
namespace testfs {

namespace fs = std::filesystem;

// Whether symbolic links can be made in `folder`: MinGW's library cannot make any, and Windows
// allows them only to administrators or in developer mode.
inline bool CanLink(const fs::path& folder) {
    std::error_code ec;
    const fs::path probe = folder / ".link-probe";
    fs::create_symlink("none", probe, ec);
    if (ec)
        return false;
    fs::remove(probe, ec);
    return true;
}

// A name's UTF-8 bytes, whatever the system's own encoding of names.
inline std::string Utf8(const fs::path& path) {
    const std::u8string bytes = path.u8string();
    return std::string(bytes.begin(), bytes.end());
}

using portable::TempDir;

inline void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The file's bytes, or "<missing>" when it cannot be read.
inline std::string ReadFile(const fs::path& path) {
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path, ec))
        return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, sorted: what a writer left behind.
inline std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Lowers the file size limit, with its signal ignored, so a write beyond it fails with EFBIG.
using portable::FileSizeLimit;

}  // namespace testfs
