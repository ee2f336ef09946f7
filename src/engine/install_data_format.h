// Lines of the install-data file "Uninstall.ulog": the six header lines, the entry lines,
// and the reading rules. Free of Windows headers so that it can be fuzzed natively.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace install_data {

enum class EntryKind : std::int32_t {
    Directory = 0,
    File = 1,
    MenuShortcut = 2,
    UninstallShortcut = 3,
    DesktopShortcut = 4,
    UninstallKey = 5,
    Registration = 6,
    DirectXUpdate = 7,
};

struct entry {
    EntryKind kind = EntryKind::Directory;
    std::u16string path;
    std::u16string backupPath;
    bool ok = false;
    std::int32_t code = -1;   // the payload entry kind for File entries; -1 otherwise
    // In memory only: where the backup came from, so that a roll-back can put it back
    // even when this run's shortcut was never created (its path then stays empty).
    std::u16string originalPath;
};

constexpr char16_t uninstall_key_text[] =
    u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrelle 7";
constexpr char16_t registration_text[] = u"HKEY_CLASSES_ROOT\\...";

// The six header lines, each with its CR LF.
std::vector<std::u16string> header_lines(std::u16string_view product, std::u16string_view previousProduct,
                                         std::u16string_view installFolder, std::u16string_view startMenuFolder);
// One entry line with its CR LF: "0000:0102:1 -- path".
std::u16string entry_line(std::size_t index, const entry& e);

// The reading buffer holds 1,024 bytes: 511 UTF-16 units or 1,023 narrow bytes of a line,
// line end included. A longer line is left out whole; the lines around it are unaffected.
constexpr std::size_t max_utf16_line = 511;
constexpr std::size_t max_narrow_line = 1023;

// Splits file contents into lines (each ending after its line feed, the last one at the
// end of the file); nullopt marks a line that is too long. UTF-16 contents start after
// the byte-order mark; an odd last byte is ignored.
std::vector<std::optional<std::u16string>> split_utf16_lines(std::string_view bytes);
std::vector<std::optional<std::string>> split_narrow_lines(std::string_view bytes);

// What reading a previous file yields; folders are the texts as written (the caller keeps
// them only when they name existing folders).
struct previous_file {
    std::u16string product;
    std::optional<std::u16string> installPath;
    std::optional<std::u16string> shortcutPath;
    std::vector<entry> entries;
};

// Processes lines in file order; stops at the first line that does not fit.
class reader {
public:
    // False when reading stops here (this line and all later ones are not taken).
    bool line(std::u16string text);
    const previous_file& result() const { return result_; }
    bool stopped() const { return stopped_; }

private:
    bool header(std::u16string text);
    bool entry_line(const std::u16string& text);

    previous_file result_;
    int processed_ = 0;
    long version_ = 0;
    bool stopped_ = false;
};

} // namespace install_data
