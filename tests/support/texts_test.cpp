#include "support/language.h"
#include "support/texts.h"
#include <gtest/gtest.h>

namespace {

struct text_case {
    int language;
    int text;
    const wchar_t* expected;
};

class TextLookup : public ::testing::TestWithParam<text_case> {
protected:
    void TearDown() override { vh::set_current_language(vh::lang_english); }
};

TEST_P(TextLookup, GivesTheTextWithItsFallbacks)
{
    const text_case& c = GetParam();
    vh::set_current_language(c.language);
    EXPECT_EQ(vh::load_text(c.text), c.expected) << "language " << c.language << ", text " << c.text;
}

INSTANTIATE_TEST_SUITE_P(Languages, TextLookup, ::testing::Values(
    // Translated languages read their own block.
    text_case{0, 0, L"Installeur"},
    text_case{0, 3, L"\u00C0 propos de '%1'"},
    text_case{0, 131, L"Mise \u00E0 jour de DirectX..."},
    text_case{1, 0, L"Installer"},
    text_case{1, 14, L"Select Installation Langage"},
    text_case{1, 115, L"Copying File  %1..."},
    text_case{1, 129, L"'%1' will be installed in the selected Langage, but the Installer, still under translation,  shall run in English."},
    text_case{2, 6, L"Weiter"},
    text_case{2, 4, L"Beenden"},
    text_case{2, 120, L"Die Installation ist fertig."},
    text_case{3, 5, L"Atr\u00E1s"},
    text_case{4, 2, L"Cancelar"},
    text_case{11, 6, L"Avanti"},
    text_case{7, 2, L"\u0130ptal"},
    text_case{9, 4, L"Ie\u0219ire"},
    text_case{19, 131, L"DirectX ellen\u0151rz\u00E9se..."},
    // The marker "#" falls back: English and German to the French text 131.
    text_case{1, 131, L"Mise \u00E0 jour de DirectX..."},
    text_case{2, 131, L"Mise \u00E0 jour de DirectX..."},
    // Languages without installer translation always read English.
    text_case{5, 6, L"Next"},
    text_case{15, 0, L"Installer"},
    text_case{16, 4, L"Exit"},
    text_case{5, 131, L"Mise \u00E0 jour de DirectX..."},
    // An index outside the table is treated as untranslated.
    text_case{42, 6, L"Next"}));

TEST(TextLookupEdges, MissingTextIsEmpty)
{
    vh::set_current_language(vh::lang_english);
    EXPECT_EQ(vh::load_text(50), L"");
}

TEST(TextLookupEdges, EveryTranslatedLanguageHasEveryText)
{
    const int numbers[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 100, 101, 102, 103,
                           104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 117, 118, 119, 120, 121,
                           122, 123, 124, 125, 126, 127, 129, 131};
    for (int language : {0, 1, 2, 3, 4, 7, 9, 11, 19}) {
        vh::set_current_language(language);
        for (int n : numbers) EXPECT_FALSE(vh::load_text(n).empty()) << "language " << language << ", text " << n;
    }
    vh::set_current_language(vh::lang_english);
}

struct format_case {
    int text;
    std::wstring a1, a2;
    const wchar_t* expected;
};

TEST(FormatText, ReplacesInserts)
{
    vh::set_current_language(vh::lang_english);
    const format_case cases[] = {
        {100, L"Tavrelle 7.08m", L"", L"'Tavrelle 7.08m' Installation."},
        {101, L"Tavrelle 7.07", L"Tavrelle 7.08m", L"Update from 'Tavrelle 7.07' to 'Tavrelle 7.08m'."},
        {121, L"1:00000005", L"", L"Installation failed (Error Code 1:00000005)."},
        {110, L"", L"", L"Installation is not complete.\r\n\r\nDo you still confirm exit Installation ?"},
        // An insert holding % signs is taken literally.
        {18, L"50% off %1", L"", L"50% off %1 Examples"},
    };
    for (const auto& c : cases) EXPECT_EQ(vh::format_text(c.text, c.a1, c.a2), c.expected) << "text " << c.text;
}

TEST(InstallerTitle, JoinsTextZeroAndTheProductWithAnEnDash)
{
    vh::set_current_language(vh::lang_english);
    EXPECT_EQ(vh::installer_title(), L"Installer \u2013 Tavrelle 7.08m");
    vh::set_current_language(vh::lang_german);
    EXPECT_EQ(vh::installer_title(), L"Installationsprogramm \u2013 Tavrelle 7.08m");
    vh::set_current_language(vh::lang_english);
}

} // namespace
