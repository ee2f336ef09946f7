// The install-data record: the journal of every change an installation makes, read from
// and written to "Uninstall.ulog".
#pragma once
#include "engine/install_data_format.h"
#include <windows.h>
#include <string>
#include <vector>

namespace vh {

using install_data::EntryKind;
using install_data_entry = install_data::entry;

class install_data_record {
public:
    std::wstring previousInstallFolder;
    std::wstring previousStartMenuFolder;
    std::wstring previousProduct;
    std::vector<install_data_entry> previousEntries;
    std::vector<install_data_entry> entries;   // oldest first
    bool awaitingConfirmation = false;

    // Creates the missing folders one component at a time; a Directory entry for each.
    void create_folder_chain(const std::wstring& folder);
    // Just before a file is written (or kept, for SharedData: keep set).
    void record_file(const std::wstring& path, std::int32_t code, bool keep);
    // Before a shortcut is created: kind 0 menu, 1 uninstall, other desktop.
    void record_shortcut(int shortcutKind, const std::wstring& folder);
    // key: the uninstall key when it existed before (its contents are saved), else null.
    void record_uninstall_key(HKEY key);
    void record_registration();
    void record_directx_update();
    void confirm_last(bool ok, const std::wstring* path = nullptr);
    bool was_installed(const std::wstring& path) const;

    // Fills the previous-installation fields; with no file only empties the two folders.
    void read_install_data(const std::wstring* file);
    // Merges the previous entries, writes the file, then discards every backup.
    bool write_install_data(const std::wstring& file, const std::wstring& installFolder,
                            const std::wstring& startMenuFolder);
    // Undoes every entry, newest first, putting the backups back; entries is empty after.
    void roll_back();

private:
    void append(EntryKind kind, std::u16string path, std::int32_t code, bool ok);
};

// Whether two recorded paths name the same file-system object (the merge's rule).
bool same_object(const std::u16string& a, const std::u16string& b);

} // namespace vh
