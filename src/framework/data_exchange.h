// Dialog data exchange: load fields into controls or save them back with validation.
#pragma once
#include <windows.h>
#include <stdexcept>
#include <string>

namespace fw {

class Dialog;

// Thrown by fail() after the validation message was shown; caught by UpdateData.
struct validation_failed : std::exception {};

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}
    bool saving() const { return saving_; }
    Dialog& dialog() const { return dialog_; }
    HWND prepare_control(int id);
    HWND prepare_edit(int id);
    // Ends the exchange: focus (and for edits, selection) goes to the last prepared control.
    [[noreturn]] void fail();
    HWND last_control() const { return last_; }
    bool last_was_edit() const { return lastEdit_; }

private:
    Dialog& dialog_;
    bool saving_;
    HWND last_ = nullptr;
    bool lastEdit_ = false;
};

void ddx_text(DataExchange& dx, int id, std::wstring& value);
void ddx_check(DataExchange& dx, int id, bool& value);
void ddx_radio(DataExchange& dx, int firstId, int& value);
// "Enter no more than %1 characters." when the saved text is longer; on loading, limits
// the edit control's text to the same length.
void ddv_max_chars(DataExchange& dx, const std::wstring& value, int maxChars);

} // namespace fw
