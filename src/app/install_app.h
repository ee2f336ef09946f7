// The installer's application object: owns the installation state for the life of the
// process and runs start-up in InitInstance.
#pragma once
#include "app/installation_state.h"
#include "framework/application.h"

class CInstallApp : public fw::Application {
public:
    CInstallApp();
    ~CInstallApp() override;

    bool InitInstance() override;
    int DoMessageBox(const std::wstring& text, UINT type) override;

    app::installation_state& state() { return state_; }

private:
    // Default language, stored language, English when untranslated; then the title.
    void choose_language_and_title();

    app::installation_state state_;
    vh::unique_hicon icon_;
};

CInstallApp& theApp();
