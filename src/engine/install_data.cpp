#include "engine/install_data.h"
#include "engine/access_rights.h"
#include "engine/backups.h"
#include "support/language.h"
#include "support/product.h"
#include "support/text_convert.h"
#include "support/unique_handle.h"
#include <shlobj.h>
#include <shlwapi.h>
#include <filesystem>

namespace vh {

namespace {

namespace fs = std::filesystem;

// UTF-16 in both forms: wchar_t is 16 bits on Windows.
const wchar_t* w(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
std::u16string u16(const std::wstring& s) { return {s.begin(), s.end()}; }
std::wstring wide(const std::u16string& s) { return {s.begin(), s.end()}; }

bool is_folder(const std::u16string& path)
{
    DWORD a = ::GetFileAttributesW(w(path));
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool exists(const std::u16string& path) { return ::GetFileAttributesW(w(path)) != INVALID_FILE_ATTRIBUTES; }

std::wstring cut_to_max_path(const std::wstring& path) { return path.substr(0, MAX_PATH - 1); }

} // namespace

void install_data_record::append(EntryKind kind, std::u16string path, std::int32_t code, bool ok)
{
    entries.push_back({kind, std::move(path), u"", ok, code});
}

void install_data_record::create_folder_chain(const std::wstring& folder)
{
    std::wstring path = cut_to_max_path(folder);
    // Every prefix that ends with a component after the root, and the whole path.
    const wchar_t* start = path.c_str();
    const wchar_t* next = ::PathSkipRootW(start);
    if (!next) next = start;
    while (true) {
        const wchar_t* end = ::PathFindNextComponentW(next);
        std::wstring prefix = end && *end ? path.substr(0, static_cast<size_t>(end - start - 1)) : path;
        while (prefix.size() > 3 && (prefix.back() == L'\\' || prefix.back() == L'/')) prefix.pop_back();
        if (!prefix.empty() && !is_folder(u16(prefix))) {
            if (!::CreateDirectoryW(prefix.c_str(), nullptr)) return;
            ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, prefix.c_str(), nullptr);
            append(EntryKind::Directory, u16(prefix), -1, true);
        }
        if (!end || !*end) return;
        next = end;
    }
}

void install_data_record::record_file(const std::wstring& path, std::int32_t code, bool keep)
{
    awaitingConfirmation = true;
    std::wstring cut = cut_to_max_path(path);
    create_folder_chain(fs::path(cut).parent_path().native());
    append(EntryKind::File, u16(path), code, false);
    if (exists(u16(path))) {
        entries.back().backupPath = u16(make_backup(&path, keep));
        entries.back().originalPath = u16(path);
    }
}

void install_data_record::record_shortcut(int shortcutKind, const std::wstring& folder)
{
    awaitingConfirmation = true;
    create_folder_chain(folder);
    EntryKind kind = shortcutKind == 0   ? EntryKind::MenuShortcut
                   : shortcutKind == 1 ? EntryKind::UninstallShortcut
                                       : EntryKind::DesktopShortcut;
    append(kind, u"", -1, false);
    for (const auto& previous : previousEntries) {
        if (previous.kind != kind) continue;
        if (exists(previous.path)) {
            std::wstring source = wide(previous.path);
            entries.back().backupPath = u16(make_backup(&source, false));
            if (!entries.back().backupPath.empty()) entries.back().originalPath = previous.path;
        }
        break;   // only the first entry of that kind counts
    }
}

void install_data_record::record_uninstall_key(HKEY key)
{
    awaitingConfirmation = true;
    append(EntryKind::UninstallKey, u"", -1, false);
    if (key) entries.back().backupPath = u16(backup_registry_key(key));
}

void install_data_record::record_registration()
{
    awaitingConfirmation = true;
    append(EntryKind::Registration, u"", -1, false);
}

void install_data_record::record_directx_update()
{
    awaitingConfirmation = true;
    append(EntryKind::DirectXUpdate, u"", -1, false);
}

void install_data_record::confirm_last(bool ok, const std::wstring* path)
{
    if (!awaitingConfirmation || entries.empty()) return;
    awaitingConfirmation = false;
    entries.back().ok = ok;
    if (path) entries.back().path = u16(*path);
}

bool install_data_record::was_installed(const std::wstring& path) const
{
    std::u16string p = u16(path);
    for (const auto& e : previousEntries)
        if (e.kind == EntryKind::File && e.ok && e.path == p) return true;
    return false;
}

bool same_object(const std::u16string& a, const std::u16string& b)
{
    if (fs::path(wide(a)) == fs::path(wide(b))) return true;
    std::error_code ec;
    bool equivalent = fs::equivalent(wide(a), wide(b), ec);
    if (!ec) return equivalent;
    // One of them does not exist: compare the absolute forms component by component.
    fs::path x = fs::absolute(wide(a), ec), y = fs::absolute(wide(b), ec);
    auto i = x.begin(), j = y.begin();
    for (; i != x.end() && j != y.end(); ++i, ++j) {
        const std::wstring &p = i->native(), &q = j->native();
        if (p.size() != q.size() || !::StrIsIntlEqualW(FALSE, p.c_str(), q.c_str(), static_cast<int>(p.size())))
            return false;
    }
    return i == x.end() && j == y.end();
}

void install_data_record::read_install_data(const std::wstring* file)
{
    previousInstallFolder.clear();
    previousStartMenuFolder.clear();
    if (!file) return;
    unique_hfile handle(::CreateFileW(file->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle) return;
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    bool complete = true;
    while (true) {
        if (!::ReadFile(handle.get(), buffer, sizeof(buffer), &n, nullptr)) {
            complete = false;   // a failed read discards the partial line
            break;
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }

    install_data::reader reader;
    auto feed = [&](auto& lines, auto convert) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!complete && i + 1 == lines.size()) break;
            if (!lines[i]) continue;   // longer than the reading buffer: left out
            if (!reader.line(convert(*lines[i]))) break;
        }
    };
    bool utf16 = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                 static_cast<unsigned char>(bytes[1]) == 0xFE;
    if (utf16) {
        auto lines = install_data::split_utf16_lines(bytes);
        feed(lines, [](const std::u16string& s) { return s; });
    } else {
        auto lines = install_data::split_narrow_lines(bytes);
        UINT codePage = current_language().ansiCodePage;
        feed(lines, [codePage](const std::string& s) { return u16(to_wide(s, codePage)); });
    }

    const install_data::previous_file& read = reader.result();
    previousProduct = wide(read.product);
    if (read.installPath && is_folder(*read.installPath)) previousInstallFolder = wide(*read.installPath);
    if (read.shortcutPath && is_folder(*read.shortcutPath)) previousStartMenuFolder = wide(*read.shortcutPath);
    previousEntries.insert(previousEntries.end(), read.entries.begin(), read.entries.end());
}

bool install_data_record::write_install_data(const std::wstring& file, const std::wstring& installFolder,
                                             const std::wstring& startMenuFolder)
{
    // Merge: previous entries without an equivalent go in front, in their file order.
    for (auto it = previousEntries.rbegin(); it != previousEntries.rend(); ++it) {
        bool equivalent = false;
        for (const auto& e : entries) {
            if (e.kind != it->kind) continue;
            bool pathKind = e.kind == EntryKind::Directory || e.kind == EntryKind::File;
            if (!pathKind || same_object(e.path, it->path)) {
                equivalent = true;
                break;
            }
        }
        if (!equivalent) entries.insert(entries.begin(), *it);
    }
    previousEntries.clear();

    bool result = false;
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    unique_hfile handle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) {
        auto write = [&](const void* data, DWORD size) {
            DWORD written = 0;
            return ::WriteFile(handle.get(), data, size, &written, nullptr) && written == size;
        };
        const unsigned char bom[] = {0xFF, 0xFE};
        result = write(bom, sizeof(bom));
        auto write_line = [&](const std::u16string& line) {
            if (!write(line.data(), static_cast<DWORD>(line.size() * sizeof(char16_t)))) result = false;
        };
        for (const auto& line : install_data::header_lines(u16(product::display_text), u16(previousProduct),
                                                            u16(installFolder), u16(startMenuFolder)))
            write_line(line);
        for (std::size_t i = 0; i < entries.size(); ++i) write_line(install_data::entry_line(i, entries[i]));
        handle.reset();
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE |
                                               FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    }
    // Commit, also when the file could not be written: no roll-back after this point.
    for (auto& e : entries) {
        if (e.backupPath.empty()) continue;
        discard_backup(wide(e.backupPath));
        e.backupPath.clear();
    }
    return result;
}

} // namespace vh

namespace vh {

namespace {

void undo_uninstall_key(const install_data_entry& e)
{
    set_privilege(SE_RESTORE_NAME, true);
    HKEY uninstall = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                        KEY_ALL_ACCESS, &uninstall) == ERROR_SUCCESS) {
        if (!e.backupPath.empty()) {
            HKEY key = nullptr;
            if (::RegOpenKeyExW(uninstall, product::key_name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
                ::RegRestoreKeyW(key, w(e.backupPath), 0);
                ::RegCloseKey(key);
            }
            discard_backup(wide(e.backupPath));
        } else {
            ::SHDeleteKeyW(uninstall, product::key_name);   // created by this run
        }
        ::RegCloseKey(uninstall);
    }
    set_privilege(SE_RESTORE_NAME, false);
}

void undo_file(const install_data_entry& e)
{
    if (!e.path.empty()) {
        ::SetFileAttributesW(w(e.path), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(w(e.path));
    }
    if (e.backupPath.empty()) return;
    const std::u16string& target = e.path.empty() ? e.originalPath : e.path;
    DWORD attributes = ::GetFileAttributesW(w(e.backupPath));
    ::SetFileAttributesW(w(e.backupPath), FILE_ATTRIBUTE_NORMAL);
    if (::MoveFileW(w(e.backupPath), w(target)) && attributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(w(target), attributes);
}

} // namespace

void install_data_record::roll_back()
{
    while (!entries.empty()) {
        const install_data_entry& e = entries.back();
        switch (e.kind) {
        case EntryKind::Directory: ::RemoveDirectoryW(w(e.path)); break;   // fails when not empty
        case EntryKind::UninstallKey: undo_uninstall_key(e); break;
        case EntryKind::Registration: break;
        default: undo_file(e); break;
        }
        entries.pop_back();
    }
    awaitingConfirmation = false;   // a later confirm_last finds nothing to settle
}

} // namespace vh
