#include "../test_support.h"
#include "support/language.h"
#include "support/product.h"
#include "support/version_info.h"
#include <gtest/gtest.h>

namespace {

vh::version_info fixture(const wchar_t* name) { return vh::version_info::from_file(test::program_folder() + name + L".dll"); }

TEST(OwnVersionResource, CarriesTheInstallersIdentity)
{
    vh::version_info own = vh::version_info::from_own_resource();
    ASSERT_GT(own.size(), 0u);
    ASSERT_EQ(own.translations().size(), 1u);
    EXPECT_EQ(own.translations().front(), L"040004b0");
    EXPECT_EQ(own.packed_version(), 0x0002'0004'0001'0001u);
    EXPECT_EQ(own.string_value(L"ProductName"), L"Install");
    EXPECT_EQ(own.string_value(L"ApplicationId"), L"Tavrelle7");
    EXPECT_EQ(own.string_value(L"LegalCopyright"), L"Copyright \u00A9 Varnholt");
    EXPECT_EQ(own.string_value(L"NoSuchKey"), L"");
    EXPECT_EQ(own.display_version(), L"Install 2.04a");
}

TEST(VersionFromFile, OnlyUnicodeTranslationsCount)
{
    vh::version_info v = fixture(L"v_1252");
    EXPECT_GT(v.size(), 0u);
    EXPECT_TRUE(v.translations().empty());
    EXPECT_EQ(v.string_value(L"ProductName"), L"");
    EXPECT_EQ(v.display_version(), L"");
    EXPECT_EQ(v.packed_version(), 0x0007'0008'000C'0009u);
    EXPECT_LT(v.packed_version(), vh::product::installer_version);
}

TEST(VersionFromFile, StringsComeFromTheFirstTranslation)
{
    vh::version_info v = fixture(L"v_two_translations");
    ASSERT_EQ(v.translations().size(), 2u);
    EXPECT_EQ(v.translations()[1], L"040c04b0");
    EXPECT_EQ(v.string_value(L"ProductName"), L"English name");
    EXPECT_EQ(v.display_version(), L"English name 7.08m");
    EXPECT_EQ(v.packed_version(), vh::product::installer_version);
}

TEST(VersionFromFile, ValueOfOnlyTheTerminatorIsEmpty)
{
    EXPECT_EQ(fixture(L"v_nul_only").string_value(L"ProductName"), L"");
}

TEST(VersionFromFile, MissingFileOrResourceGivesNothing)
{
    for (std::wstring path : {test::program_folder() + L"no-such-file.dll", test::program_folder() + L"v_1252.rc"}) {
        vh::version_info v = vh::version_info::from_file(path);
        EXPECT_EQ(v.size(), 0u);
        EXPECT_EQ(v.fixed_info(), nullptr);
        EXPECT_EQ(v.packed_version(), 0u);
        EXPECT_EQ(v.display_version(), L"");
    }
}

TEST(DisplayVersion, PreReleaseSpellsBetaExceptInFrench)
{
    vh::set_current_language(vh::lang_english);
    // Only the last "bêta" changes.
    EXPECT_EQ(fixture(L"v_beta").display_version(), L"Tavrelle b\u00EAta 8.0 beta");
    vh::set_current_language(vh::lang_french);
    EXPECT_EQ(fixture(L"v_beta").display_version(), L"Tavrelle b\u00EAta 8.0 b\u00EAta");
    vh::set_current_language(vh::lang_english);
}

TEST(DisplayVersion, PrivateThenDebugMarkers)
{
    vh::version_info v = fixture(L"v_private_debug");
    EXPECT_EQ(v.display_version(), L"Tavrelle 7.08n \u2013 Private \u2013 Debug");
    EXPECT_GT(v.packed_version(), vh::product::installer_version);
}

TEST(PackedVersion, FieldsFromTheTopDown)
{
    EXPECT_EQ(vh::packed_version_text(0x0007'0008'000D'0001), L"7.8.13.1");
    EXPECT_EQ(vh::packed_version_text(0xFFFF'0000'0001'FFFF), L"65535.0.1.65535");
}

} // namespace
