#include "engine/backups.h"
#include "engine/access_rights.h"

namespace vh {

std::wstring make_backup(const std::wstring* source, bool copy)
{
    wchar_t folder[MAX_PATH] = {};
    DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > 246) return {};   // GetTempFileNameW needs room for its name
    wchar_t name[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder, L"vh", 0, name)) return {};
    ::DeleteFileW(name);   // only the unique name is used
    if (!source) return name;

    DWORD attributes = ::GetFileAttributesW(source->c_str());
    bool known = attributes != INVALID_FILE_ATTRIBUTES;
    ::SetFileAttributesW(source->c_str(), FILE_ATTRIBUTE_NORMAL);
    if (copy ? ::CopyFileW(source->c_str(), name, FALSE) : ::MoveFileW(source->c_str(), name)) {
        if (known) {
            if (copy) ::SetFileAttributesW(source->c_str(), attributes);
            ::SetFileAttributesW(name, attributes);
        }
        return name;
    }
    if (known) ::SetFileAttributesW(source->c_str(), attributes);
    return {};
}

std::wstring backup_registry_key(HKEY key)
{
    std::wstring backup = make_backup(nullptr, false);
    if (backup.empty()) return {};
    set_privilege(SE_BACKUP_NAME, true);
    LSTATUS status = ::RegSaveKeyW(key, backup.c_str(), nullptr);
    // Switched off again whatever the outcome.
    set_privilege(SE_BACKUP_NAME, false);
    if (status != ERROR_SUCCESS) {
        discard_backup(backup);
        return {};
    }
    return backup;
}

void discard_backup(const std::wstring& path)
{
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

} // namespace vh
