#include <gtest/gtest.h>

#include <string>

#include "common/CodePage936.h"

namespace {

struct Row {
    const char* what;
    std::string bytes;
    std::u16string text;
};

// The same characters the editor shows on Linux, where ICU's GBK converts.
const Row kRows[] = {
    {"chinese", "\xD6\xD0\xCE\xC4", u"中文"},
    {"comment marks", "\xA3\xBB\xA1\xAE\xA1\xAF", u"；‘’"},
    {"euro", "\x80", u"€"},
    {"program", "\xB3\xCC\xD0\xF2", u"程序"},
    {"ascii", "MOV M1,0\r\n", u"MOV M1,0\r\n"},
};

TEST(CodePage936, ConvertsBothWaysAsGbk) {
    ASSERT_TRUE(cp936::Available());
    for (const Row& row : kRows) {
        EXPECT_EQ(cp936::Decode(row.bytes), row.text) << row.what;
        EXPECT_EQ(cp936::Encode(row.text), row.bytes) << row.what;
    }
}

TEST(CodePage936, RefusesWhatHasNoCounterpart) {
    for (const std::string bytes : {"\xD6\x20", "\x41\xD6", "\xA1\x7F"})
        EXPECT_FALSE(cp936::Decode(bytes)) << bytes;
    for (const std::u16string text : {u"\uD55C", u"a\U0001F600b"})
        EXPECT_FALSE(cp936::Encode(text));
}

// Every pair that decodes to one character encodes back to the same two bytes, apart from the
// few characters GBK has two codes for.
TEST(CodePage936, PairsComeBackAsTheSameBytes) {
    int decoded = 0;
    int same = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string pair{char(lead), char(trail)};
            const auto text = cp936::Decode(pair);
            if (!text || text->size() != 1)
                continue;
            ++decoded;
            same += cp936::Encode(*text) == pair;
        }
    }
    EXPECT_GT(decoded, 21000);
    EXPECT_GT(same, decoded - 100);
}

}  // namespace
