// Backups in the user's temporary folder of what the installation replaces.
#pragma once
#include <windows.h>
#include <string>

namespace vh {

// A fresh "vh????.tmp" name in the temporary folder; with a source, the source moved (or
// copied, keeping it in place) to that name with its attributes. Empty on failure.
std::wstring make_backup(const std::wstring* source, bool copy);
// The key saved with RegSaveKeyW into a fresh backup file; empty on failure.
std::wstring backup_registry_key(HKEY key);
// Clears the attributes of a backup file and deletes it.
void discard_backup(const std::wstring& path);

} // namespace vh
