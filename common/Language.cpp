#include "common/Language.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <QLocale>
#include <QString>
#include <QTranslator>

#include "common/Messages.h"

namespace msg {
namespace {

// The English translation, built from translations/tarvex_en.ts into the program's resources.
constexpr char kEnglishTranslation[] = ":/i18n/tarvex_en.qm";
constexpr char kContext[] = "msg";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::optional<Language> ParseLanguage(std::string_view word) {
    if (word == "zh")
        return Language::Chinese;
    if (word == "en")
        return Language::English;
    return std::nullopt;
}

std::string_view LanguageWord(Language language) {
    return language == Language::English ? "en" : "zh";
}

Language LanguageOfLocale(std::string_view localeName) {
    if (!localeName.starts_with("en"))
        return Language::Chinese;
    const std::string_view rest = localeName.substr(2);
    const bool wholeWord = rest.empty() || rest.front() == '_' || rest.front() == '-' ||
                           rest.front() == '.' || rest.front() == '@';
    return wholeWord ? Language::English : Language::Chinese;
}

Language ChooseLanguage(std::string_view override, std::string_view profile,
                        std::string_view localeName) {
    if (const auto chosen = ParseLanguage(override))
        return *chosen;
    if (const auto chosen = ParseLanguage(profile))
        return *chosen;
    return LanguageOfLocale(localeName);
}

std::string ProcessLocaleName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string value = Environment(name);
        if (!value.empty())
            return value;
    }
    // Windows keeps its locale outside the environment.
    return QLocale::system().name().toStdString();
}

std::string LanguageOverride() {
    return Environment("TARVEX_LANG");
}

bool UseLanguage(Language language) {
    if (language == Language::Chinese) {
        SetTranslation({});
        return true;
    }
    QTranslator translator;
    if (!translator.load(QString::fromLatin1(kEnglishTranslation)))
        return false;
    std::vector<std::string> texts(static_cast<std::size_t>(Id::Count));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::string source(Untranslated(static_cast<Id>(i)));
        texts[i] = translator.translate(kContext, source.c_str()).toStdString();
    }
    SetTranslation(std::move(texts));
    return true;
}

}  // namespace msg
