#pragma once

#include <string_view>

// Program texts are GBK. A file written by an editor that saves UTF-8 decodes as GBK into
// nonsense without a single invalid byte, so it is told apart by how it reads either way.
namespace encoding {

enum class Guess {
    Ascii,  // nothing above 0x7F: the same in both
    Gbk,    // read as GBK (also text that is neither, whose bytes are kept as they are)
    Utf8,   // valid UTF-8 with characters beyond ASCII, and not plain GB2312 text
};

// Whether `bytes` is valid UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool IsUtf8(std::string_view bytes);

// Whether every byte above 0x7F pairs into a GB2312 character, the part of GBK ordinary text uses.
bool IsPlainGb2312(std::string_view bytes);

Guess GuessEncoding(std::string_view bytes);

}  // namespace encoding
