// Installer texts by text number, in the current language, with the English and French
// fallbacks; inserts %1..%3 follow the Windows message-formatting rules.
#pragma once
#include <string>

namespace vh {

// Text numbers used by the code.
namespace text {
enum : int {
    Installer = 0, AboutOk = 1, Cancel = 2, About = 3, Exit = 4, Back = 5, Next = 6, Install = 7,
    Browse = 8, StartMenu = 9, FolderSelection = 10, Ok = 11, Failed = 12, UninstallShortcut = 13,
    SelectLanguage = 14, InstallationMethod = 15, QuickInstallation = 16, AdvancedInstallation = 17,
    Examples = 18, InstallationOf = 100, UpdateFromTo = 101, AlreadyInstalled = 102,
    NewerInstalled = 103, ConfirmReinstall = 104, ClickContinueOrExit = 105, ClickContinue = 106,
    ClickExit = 107, ClickStart = 108, ConfirmExit = 110, SelectFolder = 111, MenuShortcut = 112,
    DesktopShortcut = 113, Preparing = 114, CopyingFile = 115, ShortcutsCreation = 117,
    RegistryWriting = 118, InstallDataWriting = 119, Complete = 120, InstallFailed = 121,
    Options = 122, FolderSummary = 123, MenuSummary = 124, DesktopSummary = 125,
    NeedAdministrator = 126, CloseProduct = 127, StillUnderTranslation = 129, DirectXUpdate = 131,
};
}

constexpr wchar_t untranslated_marker[] = L"#";

std::wstring load_text(int n);
std::wstring format_text(int n, const std::wstring& a1 = {}, const std::wstring& a2 = {},
                         const std::wstring& a3 = {});
// FormatMessage string inserts applied to any text.
std::wstring format_message(const std::wstring& pattern, const std::wstring& a1 = {},
                            const std::wstring& a2 = {}, const std::wstring& a3 = {});
// Text 0, " – ", and the product display text.
std::wstring installer_title();

} // namespace vh
