#include <gtest/gtest.h>

#include <string>

#include "common/EncodingGuess.h"

namespace {

using encoding::Guess;

TEST(EncodingGuess, TellsUtf8FromGbk) {
    const struct {
        const char* name;
        std::string bytes;
        Guess guess;
    } cases[] = {
        {"empty", "", Guess::Ascii},
        {"ASCII program", "MOV M1,1\r\nEND\r\n", Guess::Ascii},
        {"GBK comment", "' \xD6\xD0\xCE\xC4\r\nEND\r\n", Guess::Gbk},
        {"GBK symbols", "\xA1\xA2\xA3\xBB", Guess::Gbk},
        {"UTF-8 comment", "' \xE4\xB8\xAD\xE6\x96\x87\r\nEND\r\n", Guess::Utf8},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBFMOV M1,1\r\n", Guess::Utf8},
        {"UTF-8 sharp s",
         "' Stra\xC3\x9F"
         "e\r\n",
         Guess::Utf8},
        // "é" in UTF-8 is also the GB2312 hanzi C3 A9: such short texts stay GBK.
        {"UTF-8 accent that reads as a hanzi", "' caf\xC3\xA9\r\n", Guess::Gbk},
        {"UTF-8 emoji", "' \xF0\x9F\x98\x80", Guess::Utf8},
        // Valid both ways, and ordinary symbols in GBK: left as GBK.
        {"GBK that is also UTF-8", "\xC2\xA2\xC2\xA2", Guess::Gbk},
        {"mixed: GBK and UTF-8 lines", "' \xD6\xD0\r\n' \xE4\xB8\xAD\r\n", Guess::Gbk},
        {"invalid: stray bytes", "END\xFF\xFE", Guess::Gbk},
        {"invalid: cut UTF-8", "' \xE4\xB8", Guess::Gbk},
        {"invalid: overlong slash", "\xC0\xAF", Guess::Gbk},
        {"invalid: surrogate", "\xED\xA0\x80", Guess::Gbk},
        {"invalid: beyond U+10FFFF", "\xF4\x90\x80\x80", Guess::Gbk},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encoding::GuessEncoding(c.bytes), c.guess) << c.name;
}

}  // namespace
