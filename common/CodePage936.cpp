#include "common/CodePage936.h"

#include <windows.h>

namespace cp936 {

namespace {

constexpr UINT kCodePage = 936;

}  // namespace

bool Available() {
    return IsValidCodePage(kCodePage) != 0;
}

std::optional<std::u16string> Decode(std::string_view bytes) {
    if (bytes.empty())
        return std::u16string();
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
}

std::optional<std::string> Encode(std::u16string_view text) {
    if (text.empty())
        return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    // No best fit: a character GBK lacks must not turn into a look-alike.
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, size, bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace cp936
