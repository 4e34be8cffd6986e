#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Messages.h"

namespace {

TEST(Messages, EveryIdHasAText) {
    for (int i = 0; i < static_cast<int>(msg::Id::Count); ++i)
        EXPECT_FALSE(msg::Source(static_cast<msg::Id>(i)).empty()) << "id " << i;
}

TEST(Messages, ArgumentsFillTheirPlacesOnce) {
    struct Case {
        std::string pattern;
        std::vector<std::string_view> args;
        std::string expected;
    };
    const Case cases[] = {
        {"第 %1 行程序多参数！", {"3"}, "第 3 行程序多参数！"},
        {"%2 and %1", {"a", "b"}, "b and a"},
        // An argument that itself holds a marker is not filled again.
        {"file %1 !", {"%1%2"}, "file %1%2 !"},
        {"no %3 here", {"x"}, "no %3 here"},
        {"100% sure %", {}, "100% sure %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(msg::Fill(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(Messages, TextUsesTheTable) {
    EXPECT_EQ(msg::Text(msg::Id::CannotCreateFile, {"/tmp/a.kxo"}), "不能生成文件： /tmp/a.kxo ！");
    EXPECT_EQ(msg::Text(msg::Id::CompileTooManyLines, {"2049", "2048"}),
              "第 2049 行程序超出程序容量（最多 2048 行）！");
}

}  // namespace
