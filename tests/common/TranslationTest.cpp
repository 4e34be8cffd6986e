#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <QTranslator>

#include "common/Language.h"
#include "common/Messages.h"

namespace {

using msg::Language;

// The names of msg::Id in order, read from common/Messages.h, so a fault names the id.
std::vector<std::string> IdNames() {
    std::ifstream header(TARVEX_SOURCE_DIR "/common/Messages.h");
    const std::string text((std::istreambuf_iterator<char>(header)), {});
    const auto begin = text.find('{', text.find("enum class Id")) + 1;
    const auto end = text.find("};", begin);
    std::istringstream body(text.substr(begin, end - begin));
    std::vector<std::string> names;
    for (std::string line; std::getline(body, line);) {
        std::istringstream words(line.substr(0, line.find("//")));
        for (std::string name; std::getline(words, name, ',');) {
            std::erase(name, ' ');
            if (!name.empty() && name != "Count")
                names.push_back(name);
        }
    }
    return names;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// What the program reads in a text besides its words, written out: the %n places, the count of
// & (mnemonics), the keys after a tab, the patterns of a file filter, a closing line end.
std::string ShapeOf(std::string_view text) {
    std::vector<std::string> places;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            places.emplace_back(text.substr(i, 2));
    }
    std::sort(places.begin(), places.end());
    std::string shape = "places:";
    for (const std::string& place : places)
        shape += " " + place;
    shape += " &:" + std::to_string(std::count(text.begin(), text.end(), '&'));
    if (const auto tab = text.find('\t'); tab != std::string_view::npos)
        shape += " keys:" + std::string(text.substr(tab + 1));
    if (text.find('|') != std::string_view::npos) {
        shape += " patterns:";
        std::size_t start = 0;
        for (int field = 0;; ++field) {
            const auto bar = text.find('|', start);
            if (field % 2 == 1)
                shape += " " + std::string(text.substr(start, bar - start));
            if (bar == std::string_view::npos)
                break;
            start = bar + 1;
        }
    }
    if (!text.empty() && text.back() == '\n')
        shape += " line end";
    return shape;
}

class Translation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(english.load(QStringLiteral(":/i18n/tarvex_en.qm"))); }
    void TearDown() override { msg::UseLanguage(Language::Chinese); }

    std::string English(msg::Id id) const {
        const std::string source(msg::Untranslated(id));
        return english.translate("msg", source.c_str()).toStdString();
    }

    QTranslator english;
};

// A new text needs its English in translations/tarvex_en.ts; the failure lists each one ready to
// paste there.
TEST_F(Translation, EveryTextHasAnEnglishTranslation) {
    const std::vector<std::string> names = IdNames();
    ASSERT_EQ(names.size(), static_cast<std::size_t>(msg::Id::Count));
    std::string missing;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto id = static_cast<msg::Id>(i);
        if (English(id).empty()) {
            missing += "    <message>\n        <source>" + Escaped(msg::Untranslated(id)) +
                       "</source>\n        <extracomment>" + names[i] +
                       "</extracomment>\n        <translation></translation>\n    </message>\n";
        }
    }
    EXPECT_EQ(missing, "") << "texts without English:\n" << missing;
}

TEST_F(Translation, EnglishKeepsPlacesMnemonicsKeysAndPatterns) {
    const std::vector<std::string> names = IdNames();
    ASSERT_EQ(names.size(), static_cast<std::size_t>(msg::Id::Count));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto id = static_cast<msg::Id>(i);
        const std::string english = English(id);
        if (!english.empty()) {
            EXPECT_EQ(ShapeOf(english), ShapeOf(msg::Untranslated(id)))
                << names[i] << ": " << english;
        }
    }
}

TEST_F(Translation, UseLanguageSwitchesEveryLookup) {
    struct Row {
        msg::Id id;
        std::vector<std::string_view> args;
        const char* chinese;
        const char* english;
    };
    const Row rows[] = {
        {msg::Id::MenuFile, {}, "文件(&F)", "&File"},
        {msg::Id::CompileTooManyLines,
         {"2049", "2048"},
         "第 2049 行程序超出程序容量（最多 2048 行）！",
         "Line 2049 exceeds the program capacity (at most 2048 lines)!"},
        {msg::Id::CliVersion, {"2.0"}, "tarvex 2.0", "tarvex 2.0"},
    };
    for (const Language language : {Language::English, Language::Chinese, Language::English}) {
        ASSERT_TRUE(msg::UseLanguage(language));
        for (const Row& row : rows) {
            const std::string expected = language == Language::English ? row.english : row.chinese;
            EXPECT_EQ(msg::Fill(msg::Source(row.id), row.args), expected);
            if (row.args.empty()) {
                EXPECT_EQ(std::string_view(msg::Deferred{row.id}), expected);
            }
        }
    }
    EXPECT_EQ(msg::Untranslated(msg::Id::MenuFile), "文件(&F)");
}

TEST(LanguageChoice, OverrideThenProfileThenLocale) {
    struct Row {
        const char* override;
        const char* profile;
        const char* locale;
        Language expected;
    };
    const Row rows[] = {
        {"", "", "en_US.UTF-8", Language::English},
        {"", "", "en", Language::English},
        {"", "", "en_GB@euro", Language::English},
        {"", "", "en-AU", Language::English},
        {"", "", "C", Language::Chinese},
        {"", "", "C.UTF-8", Language::Chinese},
        {"", "", "POSIX", Language::Chinese},
        {"", "", "zh_CN.UTF-8", Language::Chinese},
        {"", "", "de_DE.UTF-8", Language::Chinese},
        {"", "", "eo", Language::Chinese},
        {"", "", "enx_XX", Language::Chinese},
        {"", "", "", Language::Chinese},
        {"", "en", "zh_CN.UTF-8", Language::English},
        {"", "zh", "en_US.UTF-8", Language::Chinese},
        {"", "fr", "en_US.UTF-8", Language::English},
        {"zh", "en", "en_US.UTF-8", Language::Chinese},
        {"en", "zh", "C", Language::English},
        {"EN", "", "C", Language::Chinese},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(msg::ChooseLanguage(row.override, row.profile, row.locale), row.expected)
            << row.override << " / " << row.profile << " / " << row.locale;
    }
}

}  // namespace
