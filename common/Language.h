#pragma once

#include <optional>
#include <string>
#include <string_view>

// Which language the texts of the message table are shown in, and switching the table to it.
// QtCore only: shared by the desktop application and the command-line tool.
namespace msg {

enum class Language { Chinese, English };

// "zh" or "en" as TARVEX_LANG and the profile hold them; nothing for anything else (follow the
// system).
std::optional<Language> ParseLanguage(std::string_view word);
std::string_view LanguageWord(Language language);

// English for en, en_US.UTF-8, en_GB@euro ...; Chinese for every other locale, C and POSIX too.
Language LanguageOfLocale(std::string_view localeName);

// The first that decides: the TARVEX_LANG value, the profile's choice, the messages locale.
Language ChooseLanguage(std::string_view override, std::string_view profile,
                        std::string_view localeName);

// The locale messages follow: LC_ALL, LC_MESSAGES, LANG, the first one set; else the system's.
std::string ProcessLocaleName();

// TARVEX_LANG of this process ("" when unset).
std::string LanguageOverride();

// Shows the table in `language` from now on; Chinese is the table itself. False when the English
// texts could not be loaded (the table then stays Chinese). Call at start-up, before threads.
bool UseLanguage(Language language);

}  // namespace msg
