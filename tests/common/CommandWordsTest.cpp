#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/CommandWords.h"
#include "tests/support/Portable.h"

namespace {

constexpr char kEcho[] = "--echo-words";

// Words a Windows user types: Chinese file names, a blank inside quotes, nothing at all.
const std::vector<std::string> kWords = {"上料程序.kxc", "目标 文件.kxo", "", "-o", "COM3"};

// The child prints its words, one a line, in hexadecimal, so no console conversion is involved.
int EchoWords(const std::vector<std::string>& words) {
    for (std::size_t i = 2; i < words.size(); ++i) {
        for (const char c : words[i])
            std::printf("%02x", static_cast<unsigned char>(c));
        std::printf("\n");
    }
    return 0;
}

std::string Hex(const std::string& word) {
    std::string hex;
    char digits[3];
    for (const char c : word) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        hex += digits;
    }
    return hex;
}

TEST(CommandWords, ArriveAsTypedInUtf8) {
    std::vector<std::string> args = {kEcho};
    args.insert(args.end(), kWords.begin(), kWords.end());
    portable::Process child;
    ASSERT_TRUE(child.Start(portable::SelfPath(), args));
    for (const std::string& word : kWords) {
        auto line = child.ReadLine(std::chrono::seconds(30));
        ASSERT_TRUE(line) << word;
        if (!line->empty() && line->back() == '\r')
            line->pop_back();  // Windows' text mode ends the child's lines with CR LF
        EXPECT_EQ(*line, Hex(word)) << word;
    }
    EXPECT_TRUE(child.Wait().Exited(0));
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words = text::CommandWords(argc, argv);
    if (words.size() > 1 && words[1] == kEcho)
        return EchoWords(words);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
