#include "framework/application.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "test_dialog_ids.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

// Records the framework's message boxes instead of showing them.
class RecordingApplication : public fw::Application {
public:
    int DoMessageBox(const std::wstring& text, UINT type) override
    {
        boxes.push_back(text);
        types.push_back(type);
        return IDOK;
    }
    std::vector<std::wstring> boxes;
    std::vector<UINT> types;
};

constexpr UINT WM_SCRIPT = WM_APP + 1;

// A dialog that runs a list of steps, one per posted message, once it is shown.
class ScriptedDialog : public fw::Dialog {
public:
    ScriptedDialog() : fw::Dialog(IDD_TEST_DIALOG) {}
    std::wstring text = L"start";
    bool checked = true;
    std::vector<std::function<void(ScriptedDialog&)>> steps;
    std::vector<UINT> preTranslated;

    void type(const wchar_t* s) { ::SetWindowTextW(item(IDC_TEST_EDIT), s); }
    void press(int id) { ::PostMessageW(hwnd(), WM_COMMAND, id, 0); }

protected:
    bool OnInitDialog() override
    {
        fw::Dialog::OnInitDialog();
        ::PostMessageW(hwnd(), WM_SCRIPT, 0, 0);
        return true;
    }
    void DoDataExchange(fw::DataExchange& dx) override
    {
        fw::ddx_text(dx, IDC_TEST_EDIT, text);
        fw::ddv_max_chars(dx, text, 5);
        fw::ddx_check(dx, IDC_TEST_CHECK, checked);
    }
    bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR&) override
    {
        if (message != WM_SCRIPT || next_ >= steps.size()) return false;
        steps[next_++](*this);
        ::PostMessageW(hwnd(), WM_SCRIPT, 0, 0);
        return true;
    }
    bool PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN) preTranslated.push_back(static_cast<UINT>(msg->wParam));
        return fw::Dialog::PreTranslateMessage(msg);
    }

private:
    size_t next_ = 0;
};

TEST(DialogDataExchange, LoadsFieldsAndSavesThemOnOk)
{
    RecordingApplication app;
    ScriptedDialog dialog;
    std::wstring shown;
    bool boxChecked = false;
    dialog.steps = {
        [&](ScriptedDialog& d) {
            wchar_t buffer[32] = {};
            ::GetWindowTextW(d.item(IDC_TEST_EDIT), buffer, 32);
            shown = buffer;
            boxChecked = ::SendMessageW(d.item(IDC_TEST_CHECK), BM_GETCHECK, 0, 0) == BST_CHECKED;
            d.type(L"abc");
            ::SendMessageW(d.item(IDC_TEST_CHECK), BM_SETCHECK, BST_UNCHECKED, 0);
            d.press(IDOK);
        },
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shown, L"start");
    EXPECT_TRUE(boxChecked);
    EXPECT_EQ(dialog.text, L"abc");
    EXPECT_FALSE(dialog.checked);
    EXPECT_TRUE(app.boxes.empty());
}

TEST(DialogDataExchange, TooLongTextIsRefusedWithTheValidationMessage)
{
    RecordingApplication app;
    ScriptedDialog dialog;
    bool stillOpen = false;
    bool focusOnEdit = false;
    LRESULT limit = 0;
    dialog.steps = {
        [&](ScriptedDialog& d) {
            limit = ::SendMessageW(d.item(IDC_TEST_EDIT), EM_GETLIMITTEXT, 0, 0);
            d.type(L"toolong");
            d.press(IDOK);
        },
        [&](ScriptedDialog& d) {
            stillOpen = ::IsWindowVisible(d.hwnd()) != FALSE;
            focusOnEdit = ::GetFocus() == d.item(IDC_TEST_EDIT);
            d.type(L"fine");
            d.press(IDOK);
        },
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(limit, 5) << "loading limits the edit control";
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0], L"Enter no more than 5 characters.");
    EXPECT_EQ(app.types[0], static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(focusOnEdit) << "the refused field keeps the focus";
    EXPECT_EQ(dialog.text, L"fine");
}

TEST(DialogDataExchange, CancelKeepsTheFields)
{
    RecordingApplication app;
    ScriptedDialog dialog;
    dialog.steps = {[](ScriptedDialog& d) { d.type(L"xyz"); d.press(IDCANCEL); }};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.text, L"start");
}

// A page inside the dialog: keyboard messages for its controls pass the page and then
// the dialog on their way up.
class Page : public fw::Dialog {
public:
    Page() : fw::Dialog(IDD_TEST_PAGE) {}
    std::vector<UINT> preTranslated;
    bool PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN) preTranslated.push_back(static_cast<UINT>(msg->wParam));
        return false;
    }
};

TEST(PreTranslation, WalksFromTheControlUpToTheTopLevelWindow)
{
    RecordingApplication app;
    ScriptedDialog dialog;
    Page page;
    dialog.steps = {
        [&](ScriptedDialog& d) {
            ASSERT_TRUE(page.Create(d.hwnd()));
            ::PostMessageW(page.item(IDC_PAGE_EDIT), WM_KEYDOWN, 'A', 0);
        },
        [&](ScriptedDialog& d) { d.press(IDCANCEL); },
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(page.preTranslated, std::vector<UINT>{'A'});
    EXPECT_EQ(dialog.preTranslated, std::vector<UINT>{'A'});
}

TEST(PumpMessage, QuitIsPostedAgainForTheOuterLoop)
{
    RecordingApplication app;
    ::PostQuitMessage(3);
    EXPECT_FALSE(app.pump_message());
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

} // namespace
