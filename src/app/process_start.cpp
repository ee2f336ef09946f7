#include "app/process_start.h"
#include "app/identity.h"
#include "resources/resource_ids.h"
#include "support/language.h"
#include "support/version_info.h"
#include <commctrl.h>
#include <shlwapi.h>
#include <clocale>
#include <locale>
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace app {

namespace {

bool processorChecked = false;

// major << 16 | minor of the Common-Controls assembly that the active activation context
// redirects comctl32.dll to; 0 without redirection.
unsigned long activation_context_common_controls_version()
{
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    if (!::FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                    ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data))
        return 0;
    DWORD index = data.ulAssemblyRosterIndex;
    SIZE_T needed = 0;
    ::QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    unsigned long version = 0;
    if (needed && ::QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext,
                                 buffer.data(), buffer.size(), &needed)) {
        auto info = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
        std::wstring identity = info->lpAssemblyEncodedAssemblyIdentity ? info->lpAssemblyEncodedAssemblyIdentity : L"";
        auto at = identity.find(L"version=\"");
        unsigned major = 0, minor = 0;
        if (at != std::wstring::npos && std::swscanf(identity.c_str() + at + 9, L"%u.%u", &major, &minor) == 2)
            version = (major << 16) | (minor & 0xFFFF);
    }
    ::ReleaseActCtx(data.hActCtx);
    return version;
}

} // namespace

bool check_processor()
{
    if (!::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE)) {
        ::MessageBoxW(nullptr, vh::load_resource_string(IDS_INCOMPATIBLE_PROCESSOR).c_str(), nullptr, MB_ICONERROR);
        return false;
    }
    processorChecked = true;
    return true;
}

bool processor_check_passed() { return processorChecked; }

void show_initialization_error()
{
    ::MessageBoxW(nullptr, vh::load_resource_string(IDS_INITIALIZATION_ERROR).c_str(), nullptr,
                  MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

bool library_startup()
{
    UINT mode = ::SetErrorMode(0);
    ::SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    // The C run-time takes the user's default locale; mingw's C++ library builds no named
    // std::locale (even std::locale("") throws when LANG is set), so the C++ global locale
    // falls back to the classic one, as allowed.
    if (_configthreadlocale(_DISABLE_PER_THREAD_LOCALE) == -1) return false;
    if (!_wsetlocale(LC_ALL, L"") && !_wsetlocale(LC_ALL, L"C")) return false;
    try {
        std::locale::global(std::locale(""));
    } catch (...) {
        std::locale::global(std::locale::classic());
    }
    return true;
}

unsigned long common_controls_version()
{
    HMODULE comctl = ::LoadLibraryW(L"comctl32.dll");
    if (!comctl) return 0;
    unsigned long version = 0;
    if (auto get = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")))) {
        DLLVERSIONINFO info{};
        info.cbSize = sizeof(info);
        if (SUCCEEDED(get(&info))) version = (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
    }
    if (version < 0x60000) {
        wchar_t path[MAX_PATH] = {};
        if (::GetModuleFileNameW(comctl, path, MAX_PATH)) {
            std::uint64_t file = vh::version_info::from_file(path).packed_version();
            unsigned long fileVersion = static_cast<unsigned long>(file >> 32);   // major << 16 | minor
            if (fileVersion >= 0x60000) version = fileVersion;
        }
    }
    // Wine's common controls 6 answer 5.81 to DllGetVersion and carry file version 5.81
    // too; what makes them version 6 is being loaded from the 6.0 assembly of the manifest.
    if (version < 0x60000) version = std::max(version, activation_context_common_controls_version());
    ::FreeLibrary(comctl);   // the process keeps it loaded through its import
    return version;
}

bool application_startup()
{
    if (common_controls_version() < 0x60000) return false;
    INITCOMMONCONTROLSEX classes{sizeof(classes), 0xC0FF};
    ::InitCommonControlsEx(&classes);
    running_instances().create_and_add(instance_counter_name(application_identifier()));
    return true;
}

} // namespace app
