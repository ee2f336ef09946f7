#include "resources/resource_ids.h"
#include "support/error_text.h"
#include "support/language.h"
#include <gtest/gtest.h>

namespace {

TEST(ErrorText, OwnCodesReadTheInstallersStrings)
{
    vh::set_current_language(vh::lang_english);
    std::wstring failText = vh::error_text(E_FAIL);
    ASSERT_FALSE(failText.empty());
    struct own_case { HRESULT code; std::wstring expected; };
    const own_case cases[] = {
        {vh::make_own_code(IDS_INITIALIZATION_ERROR), L"Initialization Error"},
        {vh::make_own_code(2006), L"Next"},            // a text of the English block
        {vh::make_own_code(0), failText},              // id 0
        {vh::make_own_code(2050), failText},           // no such string
        {HRESULT(0x20000000 | 2006), failText},        // customer bit without bit 27
    };
    for (const auto& c : cases) EXPECT_EQ(vh::error_text(c.code), c.expected) << std::hex << c.code;
}

TEST(ErrorText, SystemCodesUseTheMessageTableWithoutLineEnds)
{
    for (HRESULT code : {HRESULT(ERROR_BUSY), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), E_OUTOFMEMORY, E_FAIL}) {
        std::wstring text = vh::error_text(code);
        EXPECT_FALSE(text.empty()) << std::hex << code;
        EXPECT_EQ(text, vh::system_message(static_cast<DWORD>(code)));
        EXPECT_NE(text.back(), L'\n');
        EXPECT_NE(text.back(), L'\r');
    }
}

TEST(ErrorText, CodeWithoutMessageFallsBackToTheGeneralFailure)
{
    HRESULT unknown = HRESULT(0x80AB1234);
    ASSERT_EQ(vh::system_message(static_cast<DWORD>(unknown)), L"");
    std::wstring general = vh::system_message(static_cast<DWORD>(E_FAIL));
    // Where the system has no text for E_FAIL either, the fixed "Error" is shown.
    EXPECT_EQ(vh::error_text(unknown), general.empty() ? L"Error" : general);
}

TEST(ErrorText, WithoutSystemMessagesTheGeneralFailureReadsError)
{
    auto none = [](DWORD) { return std::wstring(); };
    EXPECT_EQ(vh::error_text(E_FAIL, none), L"Error");
    EXPECT_EQ(vh::error_text(HRESULT_FROM_WIN32(ERROR_BUSY), none), L"Error");
    EXPECT_EQ(vh::error_text(vh::make_own_code(0), none), L"Error");
    EXPECT_EQ(vh::error_text(vh::make_own_code(IDS_INITIALIZATION_ERROR), none), L"Initialization Error");
}

} // namespace
