// The 21 languages the installer knows, the process-wide current language, and the loading
// of string resources under a given language.
#pragma once
#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>

namespace vh {

constexpr int language_count = 21;
constexpr int lang_french = 0;
constexpr int lang_english = 1;
constexpr int lang_german = 2;
constexpr int lang_hebrew = 16;

// Languages offered by the product: bit n set means language index n.
constexpr std::uint32_t product_language_mask = 0x1BCEBF;

struct language_info {
    const wchar_t* englishName;
    LANGID langId;
    int textBlock;          // string ids of this language are 1000 * textBlock + text number
    bool installerTranslated;
    int flagIcon;
    WORD userPrimaryLanguage;   // primary language of the user's default language that selects it
};

// Row of the language table; an index outside 0..20 gives the French row's LANGID and flag.
const language_info& language(int index);
LANGID language_langid(int index);
int language_flag_icon(int index);

bool is_product_language(int index);
bool is_installer_translated(int index);

struct current_language_record {
    std::uint32_t defaultLanguageSet = 1;   // French only
    int index = 0;
    LCID localeId = 0x040C;
    UINT ansiCodePage = 1252;
    bool rightToLeft = false;
};

// The process-wide record, created on first use.
const current_language_record& current_language();
void set_current_language(int index);
// Maps the user's default language identifier to a language index allowed by mask
// (0: the record's default language set).
int default_language(std::uint32_t mask = 0);
// True when the language that the user's default language maps to is written right to left.
bool user_default_language_is_rtl();
bool language_is_rtl(int index);
std::wstring native_language_name(int index);

// A string resource of the given module under one language; nullopt when it does not exist.
std::optional<std::wstring> load_string(HMODULE module, UINT id, LANGID langId);
// The program's string loader: the current language's string resources, then the
// language-neutral ones, then whatever Windows picks.
std::wstring load_resource_string(UINT id);

} // namespace vh
