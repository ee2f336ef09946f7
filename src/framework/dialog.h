// Dialogs from templates: modal ones with their own loop (so every message passes the
// pre-translation chain) and child dialogs used as pages inside another window.
#pragma once
#include "framework/window.h"
#include <string>

namespace fw {

class DataExchange;

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}

    // Runs the dialog modally, owned by owner (null: the application's safe owner).
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog as a child (a page) of parent; the template's own style applies.
    bool Create(HWND parent);
    void EndDialog(INT_PTR result);
    bool is_modal_running() const { return modalRunning_; }

    // Moves data between the controls and the object; on saving, validation failures
    // leave the focus on the failing control and return false.
    bool UpdateData(bool save);

    bool PreTranslateMessage(MSG* msg) override;

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange&) {}
    virtual void OnOK();
    virtual void OnCancel();
    // Commands other than IDOK and IDCANCEL; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // Every other message; return true and set result when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    UINT template_id() const { return templateId_; }

private:
    static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    bool modalRunning_ = false;
    bool ended_ = false;
    INT_PTR result_ = IDCANCEL;
};

} // namespace fw
