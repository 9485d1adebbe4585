// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace mirado::platform {

// Windows language identifiers (LANGID): the primary language in the low ten
// bits, the sublanguage (mostly the country) above them.
inline constexpr std::uint16_t kLanguageNeutral = 0x0000;
inline constexpr std::uint16_t kLanguageEnglishUS = 0x0409;
inline constexpr std::uint16_t kLanguageJapanese = 0x0411;

// The language identifier of a locale name such as "ja_JP", "de-DE" or
// "en_US.UTF-8@euro" (the code set and modifier are ignored, and so is the
// case of letters). A country that is not in the table gives the language's
// main country ("de_LU" as "de_DE"), and so does a name without a country
// ("ja" as "ja_JP"). "C" and "POSIX" read as American English; an unknown
// language gives kLanguageNeutral.
std::uint16_t LanguageIdForLocaleName(std::string_view name);

// The user's default language identifier, as Windows' GetUserDefaultLangID
// gives it; elsewhere that of the system locale.
std::uint16_t UserDefaultLanguageId();

} // namespace mirado::platform
