// SPDX-License-Identifier: GPL-3.0-or-later
#include "language.h"

#include <algorithm>
#include <cctype>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace mirado::platform {

namespace {

struct LocaleLanguage
{
    const char *name; // language_COUNTRY
    std::uint16_t id;
};

// Each language's main country comes first among its rows: a country not
// listed falls back to it.
constexpr LocaleLanguage kLocaleLanguages[] = {
    {"ar_SA", 0x0401}, {"ar_EG", 0x0C01}, {"bg_BG", 0x0402}, {"ca_ES", 0x0403}, {"zh_CN", 0x0804},
    {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"cs_CZ", 0x0405}, {"da_DK", 0x0406},
    {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"el_GR", 0x0408},
    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409},
    {"en_IE", 0x1809}, {"en_IN", 0x4009}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"fi_FI", 0x040B},
    {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"he_IL", 0x040D},
    {"hu_HU", 0x040E}, {"is_IS", 0x040F}, {"it_IT", 0x0410}, {"it_CH", 0x0810}, {"ja_JP", 0x0411},
    {"ko_KR", 0x0412}, {"nl_NL", 0x0413}, {"nl_BE", 0x0813}, {"nb_NO", 0x0414}, {"no_NO", 0x0414},
    {"nn_NO", 0x0814}, {"pl_PL", 0x0415}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"ro_RO", 0x0418},
    {"ru_RU", 0x0419}, {"hr_HR", 0x041A}, {"sk_SK", 0x041B}, {"sq_AL", 0x041C}, {"sv_SE", 0x041D},
    {"sv_FI", 0x081D}, {"th_TH", 0x041E}, {"tr_TR", 0x041F}, {"ur_PK", 0x0420}, {"id_ID", 0x0421},
    {"uk_UA", 0x0422}, {"be_BY", 0x0423}, {"sl_SI", 0x0424}, {"et_EE", 0x0425}, {"lv_LV", 0x0426},
    {"lt_LT", 0x0427}, {"fa_IR", 0x0429}, {"vi_VN", 0x042A}, {"hi_IN", 0x0439}, {"ms_MY", 0x043E},
};

} // namespace

std::uint16_t LanguageIdForLocaleName(std::string_view name)
{
    // Drop the code set and the modifier.
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX")
        return kLanguageEnglishUS;

    const std::size_t split = name.find_first_of("_-");
    std::string language(name.substr(0, split));
    std::string country(split == std::string_view::npos ? "" : name.substr(split + 1));
    std::transform(language.begin(), language.end(), language.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    std::transform(country.begin(), country.end(), country.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    if (language.empty())
        return kLanguageNeutral;

    const std::string full = language + "_" + country;
    const auto exact = std::find_if(std::begin(kLocaleLanguages), std::end(kLocaleLanguages),
                                    [&](const LocaleLanguage &row) { return full == row.name; });
    if (exact != std::end(kLocaleLanguages))
        return exact->id;
    const std::string prefix = language + "_";
    const auto main = std::find_if(
        std::begin(kLocaleLanguages), std::end(kLocaleLanguages),
        [&](const LocaleLanguage &row) { return std::string_view(row.name).starts_with(prefix); });
    return main != std::end(kLocaleLanguages) ? main->id : kLanguageNeutral;
}

std::uint16_t UserDefaultLanguageId()
{
#ifdef _WIN32
    return GetUserDefaultLangID();
#else
    // The locale the user's messages are in: LC_ALL, then LC_MESSAGES, then
    // LANG, the first that is set and not empty.
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return LanguageIdForLocaleName(value);
    }
    return LanguageIdForLocaleName("C");
#endif
}

} // namespace mirado::platform
