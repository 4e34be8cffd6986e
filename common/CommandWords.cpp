#include "common/CommandWords.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace text {

#ifdef _WIN32

namespace {

std::string Utf8(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string word(static_cast<std::size_t>(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, word.data(), size, nullptr, nullptr);
    return word;
}

}  // namespace

std::vector<std::string> CommandWords(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> words;
    for (int i = 0; wide != nullptr && i < count; ++i)
        words.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return words;
}

#else

std::vector<std::string> CommandWords(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

#endif

}  // namespace text
