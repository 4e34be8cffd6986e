#pragma once

#include <optional>
#include <string>
#include <string_view>

// GBK through Windows' own code page 936: Qt's GBK converter needs ICU, which a Windows Qt may
// lack. Strict both ways: nothing when a byte sequence or a character has no counterpart, so that
// callers keep their own rule for those. Windows only.
namespace cp936 {

bool Available();

std::optional<std::u16string> Decode(std::string_view bytes);

std::optional<std::string> Encode(std::u16string_view text);

}  // namespace cp936
