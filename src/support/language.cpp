#include "support/language.h"
#include <clocale>
#include <cwchar>
#include <locale>

namespace vh {

namespace {

constexpr language_info table[language_count] = {
    {L"French", 0x040C, 1, true, 144, 12},
    {L"English", 0x0409, 2, true, 145, 0},
    {L"German", 0x0407, 3, true, 141, 7},
    {L"Spanish", 0x0C0A, 4, true, 143, 10},
    {L"Portuguese", 0x0816, 5, true, 148, 22},
    {L"Dutch", 0x0413, 7, false, 147, 19},
    {L"Danish", 0x0406, 8, false, 142, 6},
    {L"Turkish", 0x041F, 9, true, 149, 31},
    {L"Bulgarian", 0x0402, 11, false, 150, 2},
    {L"Romanian", 0x0418, 12, true, 151, 24},
    {L"Chinese (Simplified)", 0x0804, 10, false, 152, 4},
    {L"Italian", 0x0410, 6, true, 146, 16},
    {L"Czech", 0x0405, 13, false, 153, 5},
    {L"Norwegian", 0x0414, 14, false, 154, 20},
    {L"Greek", 0x0408, 15, false, 155, 8},
    {L"Polish", 0x0415, 16, false, 156, 21},
    {L"Hebrew", 0x040D, 17, false, 157, 13},
    {L"Vietnamese", 0x042A, 18, false, 158, 42},
    {L"Japanese", 0x0411, 19, false, 160, 17},
    {L"Hungarian", 0x040E, 20, true, 161, 14},
    {L"Serbian (Latin)", 0x081A, 21, false, 162, 26},
};

constexpr int chinese_index = 10;

current_language_record& record()
{
    static current_language_record r;
    return r;
}

LCID locale_for(int index)
{
    LANGID langId = language_langid(index);
    LCID user = ::GetUserDefaultLCID();
    return LANGIDFROMLCID(user) == langId ? user : MAKELCID(langId, SORT_DEFAULT);
}

// msvcrt takes "Language_Country.codepage" names, not "de-DE"; build that name from the
// locale's English names.
std::wstring crt_locale_name(LCID lcid)
{
    wchar_t language[80] = {}, country[80] = {}, codePage[16] = {};
    if (!::GetLocaleInfoW(lcid, LOCALE_SENGLANGUAGE, language, 80) ||
        !::GetLocaleInfoW(lcid, LOCALE_SENGCOUNTRY, country, 80) ||
        !::GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE, codePage, 16))
        return {};
    std::wstring name = std::wstring(language) + L"_" + country;
    if (std::wcscmp(codePage, L"0") != 0) name += std::wstring(L".") + codePage;
    return name;
}

void set_runtime_locale(int index)
{
    // Character classification, collation, money and time follow the language; number
    // formatting stays as it is. Names the C run-time refuses leave the locale unchanged.
    LANGID langId = language_langid(index);
    bool userLanguage = PRIMARYLANGID(::GetUserDefaultLangID()) == PRIMARYLANGID(langId);
    std::wstring name = userLanguage ? std::wstring() : crt_locale_name(MAKELCID(langId, SORT_DEFAULT));
    if (!userLanguage && name.empty()) return;
    for (int category : {LC_COLLATE, LC_CTYPE, LC_MONETARY, LC_TIME})
        _wsetlocale(category, name.c_str());
}

} // namespace

const language_info& language(int index)
{
    return index >= 0 && index < language_count ? table[index] : table[lang_french];
}

LANGID language_langid(int index)
{
    return index >= 1 && index < language_count ? table[index].langId : table[lang_french].langId;
}

int language_flag_icon(int index)
{
    return index >= 1 && index < language_count ? table[index].flagIcon : table[lang_french].flagIcon;
}

bool is_product_language(int index)
{
    return index >= 0 && index < language_count && (product_language_mask >> index) & 1;
}

bool is_installer_translated(int index)
{
    return index >= 0 && index < language_count && table[index].installerTranslated;
}

const current_language_record& current_language() { return record(); }

bool language_is_rtl(int index)
{
    LOCALESIGNATURE signature{};
    // The count is in characters: the structure is read as 16 UTF-16 units.
    if (::GetLocaleInfoW(MAKELCID(language_langid(index), SORT_DEFAULT), LOCALE_FONTSIGNATURE,
                         reinterpret_cast<LPWSTR>(&signature), sizeof(signature) / sizeof(wchar_t)))
        return (signature.lsUsb[3] >> 27) & 1;   // Unicode subset bit 123: right-to-left layout
    return index == lang_hebrew;
}

void set_current_language(int index)
{
    current_language_record& r = record();
    if (index != r.index) set_runtime_locale(index);
    r.index = index;
    r.localeId = locale_for(index);
    DWORD codePage = 0;
    if (!::GetLocaleInfoW(r.localeId, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                          reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(wchar_t)) ||
        codePage == 0)
        codePage = ::GetACP();
    r.ansiCodePage = codePage;
    r.rightToLeft = language_is_rtl(index);
}

int default_language(std::uint32_t mask)
{
    if (mask == 0) mask = record().defaultLanguageSet;
    LANGID user = ::GetUserDefaultLangID();
    WORD primary = PRIMARYLANGID(user);
    WORD sub = SUBLANGID(user);
    for (int i = 0; i < language_count; ++i) {
        if (i == lang_english || table[i].userPrimaryLanguage != primary) continue;
        if (i == chinese_index && sub != 2 && sub != 4) break;   // Traditional Chinese: not listed
        if ((mask >> i) & 1) return i;
        break;
    }
    return (mask >> lang_english) & 1 ? lang_english : lang_french;
}

bool user_default_language_is_rtl()
{
    return language_is_rtl(default_language(product_language_mask));
}

std::wstring native_language_name(int index)
{
    wchar_t name[128] = {};
    if (!::GetLocaleInfoW(locale_for(index), LOCALE_SNATIVELANGNAME, name, 128) || !name[0]) return {};
    ::CharUpperBuffW(name, 1);
    return name;
}

std::optional<std::wstring> load_string(HMODULE module, UINT id, LANGID langId)
{
    HRSRC info = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), langId);
    if (!info) return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, info);
    auto p = static_cast<const WCHAR*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!p) return std::nullopt;
    const WCHAR* end = p + ::SizeofResource(module, info) / sizeof(WCHAR);
    // A string table block holds 16 counted strings; an absent string has length 0.
    for (UINT i = 0; i < id % 16 && p < end; ++i) p += 1 + *p;
    if (p >= end || *p == 0 || p + 1 + *p > end) return std::nullopt;
    return std::wstring(p + 1, *p);
}

std::wstring load_resource_string(UINT id)
{
    HMODULE self = ::GetModuleHandleW(nullptr);
    if (auto s = load_string(self, id, language_langid(record().index))) return *s;
    if (auto s = load_string(self, id, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL))) return *s;
    wchar_t* text = nullptr;
    int n = ::LoadStringW(self, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

} // namespace vh
