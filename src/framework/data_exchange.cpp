#include "framework/data_exchange.h"
#include "framework/application.h"
#include "framework/dialog.h"
#include "framework/framework_ids.h"

namespace fw {

HWND DataExchange::prepare_control(int id)
{
    last_ = dialog_.item(id);
    lastEdit_ = false;
    return last_;
}

HWND DataExchange::prepare_edit(int id)
{
    prepare_control(id);
    lastEdit_ = true;
    return last_;
}

void DataExchange::fail()
{
    if (last_) {
        ::SetFocus(last_);
        if (lastEdit_) ::SendMessageW(last_, EM_SETSEL, 0, -1);
    }
    throw validation_failed{};
}

void ddx_text(DataExchange& dx, int id, std::wstring& value)
{
    HWND control = dx.prepare_edit(id);
    if (dx.saving()) {
        int n = ::GetWindowTextLengthW(control);
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        n = ::GetWindowTextW(control, text.data(), n + 1);
        text.resize(static_cast<size_t>(n));
        value = std::move(text);
    } else {
        ::SetWindowTextW(control, value.c_str());
    }
}

void ddx_check(DataExchange& dx, int id, bool& value)
{
    HWND control = dx.prepare_control(id);
    if (dx.saving()) value = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    else ::SendMessageW(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ddx_radio(DataExchange& dx, int firstId, int& value)
{
    // The group runs from firstId to the next control with WS_GROUP.
    HWND control = dx.prepare_control(firstId);
    if (dx.saving()) value = -1;
    for (int index = 0; control; ++index) {
        if (dx.saving()) {
            if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        control = ::GetWindow(control, GW_HWNDNEXT);
        if (control && (::GetWindowLongW(control, GWL_STYLE) & WS_GROUP)) break;
    }
}

void ddv_max_chars(DataExchange& dx, const std::wstring& value, int maxChars)
{
    if (!dx.saving()) {
        if (dx.last_control() && dx.last_was_edit())
            ::SendMessageW(dx.last_control(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (value.size() <= static_cast<size_t>(maxChars)) return;
    std::wstring text = load_framework_string(FW_IDS_PARSE_STRING_SIZE);
    std::wstring count = std::to_wstring(maxChars);
    if (auto at = text.find(L"%1"); at != std::wstring::npos) text.replace(at, 2, count);
    if (Application* app = Application::instance()) app->DoMessageBox(text, MB_ICONEXCLAMATION);
    else ::MessageBoxW(nullptr, text.c_str(), nullptr, MB_ICONEXCLAMATION);
    dx.fail();
}

} // namespace fw
