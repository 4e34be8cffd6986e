#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fileio {

// A file name the program holds as UTF-8 text (the command line, the messages) as a path. On
// Windows the standard library reads a narrow string in the ANSI code page, where a Chinese
// name does not survive.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
#ifdef _WIN32
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
#else
    return std::filesystem::path(text);
#endif
}

}  // namespace fileio
