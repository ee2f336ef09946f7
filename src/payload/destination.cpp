#include "payload/destination.h"
#include "payload/extract.h"
#include "support/ui_hooks.h"
#include <windows.h>
#include <shlobj.h>

namespace payload {

namespace fs = std::filesystem;

namespace {

struct token_row {
    const wchar_t* token;
    int csidl;
    int fallback;     // 0: none
    bool sharedBelow; // every folder level below the root goes to the shared list
};

constexpr token_row special_tokens[] = {
    {L"<ProgramFiles>", CSIDL_PROGRAM_FILES, 0, false},
    {L"<ProgramCommon>", CSIDL_PROGRAM_FILES_COMMON, 0, false},
    {L"<CommonData>", CSIDL_COMMON_APPDATA, CSIDL_APPDATA, true},
    {L"<UserData>", CSIDL_APPDATA, 0, false},
    {L"<CommonDocuments>", CSIDL_COMMON_DOCUMENTS, CSIDL_PERSONAL, true},
    {L"<Documents>", CSIDL_PERSONAL, 0, false},
    {L"<CommonDesktop>", CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY, true},
    {L"<Desktop>", CSIDL_DESKTOPDIRECTORY, 0, false},
    {L"<WinDir>", CSIDL_WINDOWS, 0, false},
    {L"<System>", CSIDL_SYSTEM, 0, false},
};

fs::path special(const destination_inputs& inputs, int csidl, int fallback)
{
    std::wstring folder = inputs.specialFolder(csidl);
    if (folder.empty() && fallback) folder = inputs.specialFolder(fallback);
    if (folder.empty()) throw std::system_error(make_error_code(compress_error::unexpected));
    return folder;
}

bool is_absolute_name(const std::wstring& name)
{
    bool drive = name.size() >= 3 && iswalpha(name[0]) && name[1] == L':' && (name[2] == L'\\' || name[2] == L'/');
    bool network = name.size() >= 2 && (name[0] == L'\\' || name[0] == L'/') && name[0] == name[1];
    return drive || network;
}

} // namespace

std::wstring shell_folder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(vh::find_owner_window(), csidl, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return folder;
}

void shared_folder_list::add(const fs::path& folder)
{
    for (const auto& f : folders_) {
        if (f.path == folder) return;
        std::error_code ignored;
        if (fs::equivalent(f.path, folder, ignored)) return;
    }
    folders_.push_back({folder, false});
}

fs::path resolve_destination(const std::wstring& destination, const destination_inputs& inputs,
                             shared_folder_list& shared)
{
    if (destination.empty()) return destination;
    auto separator = destination.find_first_of(L"\\/");
    std::wstring first = destination.substr(0, separator);
    if (first.size() < 2 || first.front() != L'<' || first.back() != L'>') return destination;

    fs::path result;
    bool sharedBelow = false;
    if (first == L"<InstallPath>") {
        result = inputs.installFolder;
    } else if (first == L"<SamplePath>") {
        const std::wstring& name = inputs.sampleFolderName;
        if (name.empty()) {
            result = special(inputs, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY);
        } else if (is_absolute_name(name)) {
            result = name;
        } else {
            result = special(inputs, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY) / name;
            shared.add(result);
        }
    } else if (first == L"<Temporary>") {
        result = inputs.tempFolder.empty() ? inputs.installFolder : inputs.tempFolder;
    } else {
        for (const auto& row : special_tokens) {
            if (first == row.token) {
                result = special(inputs, row.csidl, row.fallback);
                sharedBelow = row.sharedBelow;
                break;
            }
        }
        // Any other text in angle brackets: the rest forms a relative path.
    }

    // Components are joined one at a time, exactly as stored.
    while (separator != std::wstring::npos) {
        auto next = destination.find_first_of(L"\\/", separator + 1);
        std::wstring component = destination.substr(separator + 1, next == std::wstring::npos ? next : next - separator - 1);
        separator = next;
        if (component.empty()) continue;
        result /= component;
        if (sharedBelow) shared.add(result);
    }
    return result;
}

} // namespace payload
