#include "../test_support.h"
#include "framework/application.h"
#include "support/error_text.h"
#include "support/language.h"
#include "support/message_box.h"
#include "support/ui_hooks.h"
#include <gtest/gtest.h>
#include <future>

namespace {

struct seen_box {
    std::wstring caption, text;
    LONG style = 0;
};

// Answers the next message box of this process with the given button, from another thread.
std::future<seen_box> answer_next_box(int button)
{
    return std::async(std::launch::async, [button] {
        seen_box seen;
        if (HWND box = test::wait_for_dialog_of_process(::GetCurrentProcessId())) {
            seen.caption = test::window_text(box);
            seen.text = test::message_box_text(box);
            seen.style = ::GetWindowLongW(box, GWL_EXSTYLE);
            ::PostMessageW(box, WM_COMMAND, button, 0);
        }
        return seen;
    });
}

TEST(MessageType, DefaultIconFollowsTheButtons)
{
    vh::set_current_language(vh::lang_english);
    struct type_case { UINT type; UINT expected; };
    const type_case cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONQUESTION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION},
        {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
        {MB_RETRYCANCEL, MB_RETRYCANCEL},
        {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
        {MB_YESNO | MB_ICONERROR | MB_TASKMODAL, MB_YESNO | MB_ICONERROR | MB_TASKMODAL},
    };
    for (const auto& c : cases) EXPECT_EQ(vh::complete_message_type(c.type, nullptr), c.expected) << std::hex << c.type;
}

TEST(MessageType, RightToLeftFollowsTheOwnersLayout)
{
    HWND rtl = ::CreateWindowExW(WS_EX_LAYOUTRTL, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND ltr = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(vh::complete_message_type(MB_OK, rtl) & MB_RTLREADING, static_cast<UINT>(MB_RTLREADING));
    EXPECT_EQ(vh::complete_message_type(MB_OK, ltr) & MB_RTLREADING, 0u);
    ::DestroyWindow(rtl);
    ::DestroyWindow(ltr);
}

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        vh::set_current_language(vh::lang_english);
        vh::initialize_mfc_lib();
        app.set_name(L"Test Application");
    }
    void TearDown() override { vh::register_unattended_mode(nullptr); }
    fw::Application app;
};

struct always_unattended : vh::unattended_mode {
    bool is_unattended() const override { return true; }
};

TEST_F(MessageBoxes, CaptionFallsBackToTheApplicationName)
{
    auto seen = answer_next_box(IDOK);
    EXPECT_EQ(vh::message_box(L"hello", MB_OK, L""), IDOK);
    seen_box box = seen.get();
    EXPECT_EQ(box.caption, L"Test Application");
    EXPECT_EQ(box.text, L"hello");
}

TEST_F(MessageBoxes, TextAndCaptionGivenAsStringIdentifiers)
{
    auto seen = answer_next_box(IDCANCEL);
    // 2006 is "Next" in the English block; 2050 does not exist, and is still used: empty.
    EXPECT_EQ(vh::message_box(MAKEINTRESOURCEW(2006), MB_OKCANCEL, MAKEINTRESOURCEW(2050)), IDCANCEL);
    seen_box box = seen.get();
    EXPECT_EQ(box.text, L"Next");
    EXPECT_EQ(box.caption, L"");
}

TEST_F(MessageBoxes, UnattendedModeSuppressesOnlyOkBoxes)
{
    always_unattended unattended;
    vh::register_unattended_mode(&unattended);
    EXPECT_EQ(vh::message_box(L"nobody sees this", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(test::find_dialog_of_process(::GetCurrentProcessId()), nullptr);

    auto seen = answer_next_box(IDNO);
    EXPECT_EQ(vh::message_box(L"still asked?", MB_YESNO), IDNO);
    EXPECT_EQ(seen.get().text, L"still asked?");
}

TEST_F(MessageBoxes, ErrorMessageShowsTheSystemTextWithTheApplicationCaption)
{
    auto seen = answer_next_box(IDOK);
    vh::show_error_message(HRESULT_FROM_WIN32(ERROR_BUSY));
    seen_box box = seen.get();
    EXPECT_EQ(box.text, vh::error_text(HRESULT_FROM_WIN32(ERROR_BUSY)));
    EXPECT_EQ(box.caption, L"Test Application");
}

} // namespace
