// Small helpers shared by the test programs.
#pragma once
#include <windows.h>
#include <cstdlib>
#include <string>

namespace test {

// Folder of the running test program, with a trailing backslash.
inline std::wstring program_folder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// A Unix path from the environment, as Wine shows it (drive Z: is the root).
inline std::wstring unix_path_from_env(const char* name)
{
    const char* value = std::getenv(name);
    if (!value) return {};
    std::wstring path = L"Z:";
    for (const char* p = value; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

inline std::wstring window_text(HWND window)
{
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

struct dialog_search {
    DWORD pid;
    HWND found;
};

inline BOOL CALLBACK match_dialog_of_process(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<dialog_search*>(p);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (pid == s->pid && ::IsWindowVisible(w) && std::wstring(cls) == L"#32770") {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// The first visible top-level dialog window (#32770) of a process, or null.
inline HWND find_dialog_of_process(DWORD processId)
{
    dialog_search s{processId, nullptr};
    ::EnumWindows(match_dialog_of_process, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

inline HWND wait_for_dialog_of_process(DWORD processId, DWORD timeoutMs = 20000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (HWND w = find_dialog_of_process(processId)) return w;
        ::Sleep(50);
    }
    return nullptr;
}

// The text of a message box: its static control with id 65535.
inline std::wstring message_box_text(HWND box) { return window_text(::GetDlgItem(box, 0xFFFF)); }

} // namespace test
