#include "../payload/archive_fixture.h"
#include "engine/backups.h"
#include "engine/install_data.h"
#include "support/language.h"
#include "support/registry.h"
#include <gtest/gtest.h>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using vh::EntryKind;

std::string u8(const std::u16string& s) { return std::string(s.begin(), s.end()); }
std::u16string u16(const std::wstring& s) { return {s.begin(), s.end()}; }

void write_bytes(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

std::string utf16_file(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

class InstallData : public ::testing::Test {
protected:
    test::scratch_folder folder{L"install-data"};
    vh::install_data_record record;
    fs::path at(const wchar_t* name) const { return folder.path() / name; }
};

TEST_F(InstallData, FolderChainRecordsEachCreatedFolderOutermostFirst)
{
    record.create_folder_chain((folder.path() / L"Varnholt" / L"Tavrelle 7").native());
    ASSERT_EQ(record.entries.size(), 2u);
    EXPECT_EQ(record.entries[0].path, u16((folder.path() / L"Varnholt").native()));
    EXPECT_EQ(record.entries[1].path, u16((folder.path() / L"Varnholt" / L"Tavrelle 7").native()));
    for (const auto& e : record.entries) {
        EXPECT_EQ(e.kind, EntryKind::Directory);
        EXPECT_TRUE(e.ok);
        EXPECT_EQ(e.code, -1);
    }
    EXPECT_FALSE(record.awaitingConfirmation) << "folder creation is not confirmed";
    record.create_folder_chain((folder.path() / L"Varnholt").native());
    EXPECT_EQ(record.entries.size(), 2u) << "existing folders give no entry";
}

TEST_F(InstallData, ReplacedReadOnlyFileIsMovedToABackupThatKeepsItsAttributes)
{
    fs::path file = at(L"Tavrelle.exe");
    write_bytes(file, "old program");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    record.record_file(file.native(), 1, false);
    ASSERT_EQ(record.entries.size(), 1u);
    const auto& e = record.entries[0];
    EXPECT_EQ(e.kind, EntryKind::File);
    EXPECT_EQ(e.code, 1);
    EXPECT_FALSE(e.ok);
    ASSERT_FALSE(e.backupPath.empty());
    fs::path backup = std::wstring(e.backupPath.begin(), e.backupPath.end());
    EXPECT_EQ(backup.filename().native().substr(0, 2), L"vh");
    EXPECT_EQ(backup.extension().native(), L".tmp");
    EXPECT_FALSE(fs::exists(file)) << "moved away";
    EXPECT_EQ(test::read_all(backup), "old program");
    EXPECT_TRUE(::GetFileAttributesW(backup.c_str()) & FILE_ATTRIBUTE_READONLY);
    vh::discard_backup(backup.native());
}

TEST_F(InstallData, KeptSharedDataFileIsCopiedNotMoved)
{
    fs::path file = at(L"Library01.tv-lib");
    write_bytes(file, "user's library");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    record.record_file(file.native(), 3, true);
    const auto& e = record.entries.back();
    fs::path backup = std::wstring(e.backupPath.begin(), e.backupPath.end());
    EXPECT_EQ(test::read_all(file), "user's library") << "stays in place";
    EXPECT_EQ(test::read_all(backup), "user's library");
    EXPECT_TRUE(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(::GetFileAttributesW(backup.c_str()) & FILE_ATTRIBUTE_READONLY);
    vh::discard_backup(backup.native());
}

TEST_F(InstallData, ConfirmLastSettlesOnlyAnAwaitedEntry)
{
    record.record_registration();
    std::wstring path = L"ignored";
    record.confirm_last(true);
    EXPECT_TRUE(record.entries.back().ok);
    record.confirm_last(false, &path);   // nothing awaits: no change
    EXPECT_TRUE(record.entries.back().ok);
    EXPECT_EQ(record.entries.back().path, u"");
    record.record_shortcut(2, folder.path().native());
    std::wstring shortcut = (folder.path() / L"Tavrelle.lnk").native();
    record.confirm_last(true, &shortcut);
    EXPECT_EQ(record.entries.back().kind, EntryKind::DesktopShortcut);
    EXPECT_EQ(record.entries.back().path, u16(shortcut));
}

TEST_F(InstallData, WasInstalledComparesPathsExactly)
{
    record.previousEntries = {{EntryKind::File, u"C:\\Data\\a.mat", u"", true, 3},
                              {EntryKind::File, u"C:\\Data\\failed.mat", u"", false, 3},
                              {EntryKind::Directory, u"C:\\Data\\dir", u"", true, -1}};
    EXPECT_TRUE(record.was_installed(L"C:\\Data\\a.mat"));
    EXPECT_FALSE(record.was_installed(L"C:\\data\\a.mat")) << "case-sensitive";
    EXPECT_FALSE(record.was_installed(L"C:\\Data\\failed.mat")) << "ok 0";
    EXPECT_FALSE(record.was_installed(L"C:\\Data\\dir")) << "not a File entry";
}

TEST_F(InstallData, WrittenFileIsExactAndReadOnlyAndBackupsAreGone)
{
    fs::path replaced = at(L"one.txt");
    write_bytes(replaced, "before");
    record.record_file(replaced.native(), 0, false);
    record.confirm_last(true);
    fs::path backup = std::wstring(record.entries[0].backupPath.begin(), record.entries[0].backupPath.end());
    ASSERT_TRUE(fs::exists(backup));
    record.record_uninstall_key(nullptr);
    record.confirm_last(true);

    fs::path ulog = at(L"Uninstall.ulog");
    write_bytes(ulog, "an older, read-only file");
    ::SetFileAttributesW(ulog.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(record.write_install_data(ulog.native(), L"C:\\T7", L""));

    std::u16string expected = u"// Uninstall Log File v1\r\n"
                              u"// ############ WARNING: Do not delete or modify this file. ############\r\n"
                              u"// Install Tavrelle 7.08m\r\n"
                              u"// Install Path : C:\\T7\r\n"
                              u"// Shortcut Path : \r\n"
                              u"// ----------------\r\n"
                              u"0000:0100:1 -- " + u16(replaced.native()) + u"\r\n"
                              u"0001:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrelle 7\r\n";
    EXPECT_EQ(test::read_all(ulog), utf16_file(expected));
    DWORD attributes = ::GetFileAttributesW(ulog.c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE);
    if (!(attributes & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED))
        std::printf("note: this platform does not keep FILE_ATTRIBUTE_NOT_CONTENT_INDEXED (Wine); not checked\n");
    EXPECT_FALSE(fs::exists(backup)) << "committed: the backup is discarded";
    EXPECT_TRUE(record.entries[0].backupPath.empty());
}

TEST_F(InstallData, ReadsBackWhatItWrote)
{
    fs::create_directories(at(L"App"));
    record.entries = {{EntryKind::Directory, u16(at(L"App").native()), u"", true, -1},
                      {EntryKind::File, u"C:\\App\\x.dll", u"", false, 0},
                      {EntryKind::DirectXUpdate, u"Mise \u00e0 jour de DirectX...", u"", true, -1}};
    fs::path ulog = at(L"Uninstall.ulog");
    ASSERT_TRUE(record.write_install_data(ulog.native(), at(L"App").native(), at(L"Menu").native()));
    vh::install_data_record again;
    std::wstring path = ulog.native();
    again.read_install_data(&path);
    EXPECT_EQ(again.previousProduct, L"Tavrelle 7.08m");
    EXPECT_EQ(again.previousInstallFolder, at(L"App").native());
    EXPECT_EQ(again.previousStartMenuFolder, L"") << "the menu folder does not exist";
    ASSERT_EQ(again.previousEntries.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(again.previousEntries[i].kind, record.entries[i].kind);
        EXPECT_EQ(again.previousEntries[i].path, record.entries[i].path);
        EXPECT_EQ(again.previousEntries[i].ok, record.entries[i].ok);
        EXPECT_EQ(again.previousEntries[i].code, record.entries[i].code);
    }
}

TEST_F(InstallData, NarrowFileIsReadInTheLanguagesCodePage)
{
    vh::set_current_language(vh::lang_french);   // ANSI code page 1252
    fs::path ulog = at(L"Uninstall.ulog");
    write_bytes(ulog, "// Uninstall Log File v1\r\n// warning\r\n// Install Tavrelle 7.07\r\n// Install Path : C:\\x\r\n"
                      "// Shortcut Path : C:\\y\r\n// ---\r\n0000:0103:1 -- C:\\Donn\xE9\x65s\\Mat\xE9riau.mat-varnholt\r\n");
    std::wstring path = ulog.native();
    record.read_install_data(&path);
    ASSERT_EQ(record.previousEntries.size(), 1u);
    EXPECT_EQ(record.previousEntries[0].path, u"C:\\Donn\u00e9es\\Mat\u00e9riau.mat-varnholt");
    vh::set_current_language(vh::lang_english);
}

TEST_F(InstallData, WithoutAFileOnlyTheFoldersAreEmptied)
{
    record.previousInstallFolder = L"x";
    record.previousStartMenuFolder = L"y";
    record.read_install_data(nullptr);
    EXPECT_EQ(record.previousInstallFolder, L"");
    EXPECT_EQ(record.previousStartMenuFolder, L"");
    std::wstring missing = at(L"none.ulog").native();
    record.read_install_data(&missing);
    EXPECT_TRUE(record.previousEntries.empty());
}

TEST_F(InstallData, MergeKeepsCarriedEntriesFirstInTheirOrderAndDropsEquivalents)
{
    fs::path existing = at(L"Same.txt");
    write_bytes(existing, "x");
    record.previousEntries = {
        {EntryKind::File, u"C:\\Old\\only-before.dll", u"", true, 0},        // carried
        {EntryKind::File, u16(existing.native()), u"", true, 0},             // same object, other case below
        {EntryKind::File, u"C:\\GONE\\Folder\\File.TXT", u"", true, 0},      // not existing: component-wise
        {EntryKind::MenuShortcut, u"C:\\Menu\\old.lnk", u"", true, -1},       // kinds 2-7: by kind
        {EntryKind::DirectXUpdate, u"old text", u"", true, -1},              // carried: no DirectX this time
        {EntryKind::Directory, u"C:\\Old", u"", true, -1},                   // carried
    };
    std::wstring upper = existing.native();
    for (auto& c : upper) c = static_cast<wchar_t>(::towupper(c));
    record.entries = {{EntryKind::File, u16(upper), u"", true, 0},
                      {EntryKind::File, u"c:\\gone\\folder\\file.txt", u"", true, 0},
                      {EntryKind::MenuShortcut, u"C:\\Menu\\new.lnk", u"", true, -1}};
    ASSERT_TRUE(record.write_install_data(at(L"Uninstall.ulog").native(), L"C:\\T7", L"C:\\Menu"));
    std::vector<std::string> merged;
    for (const auto& e : record.entries) merged.push_back(std::to_string(int(e.kind)) + " " + u8(e.path));
    EXPECT_EQ(merged, (std::vector<std::string>{"1 C:\\Old\\only-before.dll", "7 old text", "0 C:\\Old",
                                                "1 " + std::string(upper.begin(), upper.end()),
                                                "1 c:\\gone\\folder\\file.txt", "2 C:\\Menu\\new.lnk"}));
    EXPECT_TRUE(record.previousEntries.empty());
}

TEST_F(InstallData, ExistingUninstallKeyIsSavedAndTheBackupPrivilegeSwitchedOffAgain)
{
    vh::unique_hkey key = vh::create_key(HKEY_CURRENT_USER, L"Software\\VarnholtTests\\Uninstall");
    ::RegSetValueExW(key.get(), L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"T"), 4);
    record.record_uninstall_key(key.get());
    ASSERT_EQ(record.entries.back().kind, EntryKind::UninstallKey);
    std::wstring backup(record.entries.back().backupPath.begin(), record.entries.back().backupPath.end());
    ASSERT_FALSE(backup.empty()) << "RegSaveKeyW wrote no backup";
    EXPECT_GT(fs::file_size(backup), 0u);
    record.record_uninstall_key(nullptr);
    EXPECT_TRUE(record.entries.back().backupPath.empty()) << "a new key has nothing to save";
    vh::discard_backup(backup);
    key.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VarnholtTests");
}

} // namespace
