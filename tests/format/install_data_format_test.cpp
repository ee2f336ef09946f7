#include "engine/install_data_format.h"
#include <gtest/gtest.h>

namespace {

using install_data::EntryKind;

std::u16string joined(const std::vector<std::u16string>& lines)
{
    std::u16string s;
    for (const auto& l : lines) s += l;
    return s;
}

TEST(InstallDataLines, HeaderAndEntriesAsTheUninstallerExpects)
{
    std::vector<install_data::entry> entries = {
        {EntryKind::Directory, u"C:\\Program Files\\Varnholt", u"", true, -1},
        {EntryKind::File, u"C:\\Program Files\\Varnholt\\Tavrelle 7\\Uninstall.exe", u"", true, 2},
        {EntryKind::File, u"C:\\ProgramData\\Varnholt\\Materials\\Steel.mat-varnholt", u"", false, 3},
        {EntryKind::UninstallKey, u"", u"", true, -1},
        {EntryKind::Registration, u"", u"", false, -1},
        {EntryKind::DirectXUpdate, u"Mise \u00e0 jour de DirectX...", u"", true, -1},
    };
    std::u16string text = joined(install_data::header_lines(u"Tavrelle 7.08m", u"Tavrelle 7.07", u"C:\\Program Files\\Varnholt\\Tavrelle 7",
                                                            u"C:\\ProgramData\\Menu\\Varnholt"));
    for (std::size_t i = 0; i < entries.size(); ++i) text += install_data::entry_line(i, entries[i]);
    const std::u16string expected =
        u"// Uninstall Log File v1\r\n"
        u"// ############ WARNING: Do not delete or modify this file. ############\r\n"
        u"// Install Tavrelle 7.08m -- Update (Tavrelle 7.07)\r\n"
        u"// Install Path : C:\\Program Files\\Varnholt\\Tavrelle 7\r\n"
        u"// Shortcut Path : C:\\ProgramData\\Menu\\Varnholt\r\n"
        u"// --------------------------------------------\r\n"   // 16 + 28 dashes
        u"0000:00ff:1 -- C:\\Program Files\\Varnholt\r\n"
        u"0001:0102:1 -- C:\\Program Files\\Varnholt\\Tavrelle 7\\Uninstall.exe\r\n"
        u"0002:0103:0 -- C:\\ProgramData\\Varnholt\\Materials\\Steel.mat-varnholt\r\n"
        u"0003:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrelle 7\r\n"
        u"0004:06ff:0 -- HKEY_CLASSES_ROOT\\...\r\n"
        u"0005:07ff:1 -- Mise \u00e0 jour de DirectX...\r\n";
    EXPECT_EQ(text, expected);
}

TEST(InstallDataLines, EmptyStartMenuFolderGivesSixteenDashesAndNoUpdateNote)
{
    auto lines = install_data::header_lines(u"Tavrelle 7.08m", u"", u"C:\\T7", u"");
    EXPECT_EQ(lines[2], u"// Install Tavrelle 7.08m\r\n");
    EXPECT_EQ(lines[4], u"// Shortcut Path : \r\n");
    EXPECT_EQ(lines[5], u"// " + std::u16string(16, u'-') + u"\r\n");
}

TEST(InstallDataLines, IndexGrowsPastFourDigits)
{
    install_data::entry e{EntryKind::File, u"x", u"", true, 0};
    EXPECT_EQ(install_data::entry_line(12345, e), u"12345:0100:1 -- x\r\n");
}

// Reads text (lines separated by \n, each given CR LF) and returns the entries as
// "kind/code/ok path" strings.
install_data::previous_file read(const std::u16string& text)
{
    install_data::reader r;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        std::u16string line = text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
        r.line(line + u"\r\n");
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    return r.result();
}

std::vector<std::string> summary(const install_data::previous_file& f)
{
    std::vector<std::string> out;
    for (const auto& e : f.entries) {
        std::string path(e.path.begin(), e.path.end());
        out.push_back(std::to_string(static_cast<int>(e.kind)) + "/" + std::to_string(e.code) + "/" +
                      (e.ok ? "1" : "0") + " " + path);
    }
    return out;
}

const std::u16string header = u"// Uninstall Log File v1\n"
                              u"// ############ WARNING ############\n"
                              u"// Install Tavrelle 7.07 -- Update (Tavrelle 7.06)\n"
                              u"// Install Path : D:\\Apps\\T7  \n"
                              u"// Shortcut Path : C:\\Menu\\T7\n"
                              u"// -----------------------\n";

struct reading_case {
    const char* name;
    std::u16string text;
    std::vector<std::string> entries;
};

class InstallDataReading : public ::testing::TestWithParam<reading_case> {};

TEST_P(InstallDataReading, TakesEverythingUpToTheFirstLineThatDoesNotFit)
{
    EXPECT_EQ(summary(read(GetParam().text)), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Files, InstallDataReading, ::testing::Values(
    reading_case{"Regular", header + u"0000:00ff:1 -- D:\\Apps\n0003:0102:1 -- D:\\Apps\\T7\\Uninstall.exe\n"
                                     u"0004:05ff:1 -- HKEY_LOCAL_MACHINE\\whatever\n0005:0103:0 --   C:\\x y.mat",
                 {"0/-1/1 D:\\Apps", "1/2/1 D:\\Apps\\T7\\Uninstall.exe", "5/-1/1 ", "1/3/0 C:\\x y.mat"}},
    reading_case{"NoLogFileMarker", u"// Something else\n0000:0100:1 -- C:\\a\n", {}},
    reading_case{"VersionTwo", u"// Uninstall Log File v2\n0000:0100:1 -- C:\\a\n", {}},
    reading_case{"BlankLineEndsReading", header + u"0000:0100:1 -- C:\\a\n\n0001:0100:1 -- C:\\b\n", {"1/0/1 C:\\a"}},
    reading_case{"KindEightEndsReading", header + u"0000:0100:1 -- C:\\a\n0001:0802:1 -- C:\\b\n", {"1/0/1 C:\\a"}},
    reading_case{"MissingDashes", header + u"0000:0100:1 C:\\a\n", {}},
    reading_case{"DashesMustStandAlone", header + u"0000:0100:1 --C:\\a\n", {}},
    reading_case{"OkMustBeZeroOrOne", header + u"0000:0100:2 -- C:\\a\n", {}},
    reading_case{"NegativeIndex", header + u"-1:0100:1 -- C:\\a\n", {}},
    reading_case{"UpperCaseHexAndSpaces", header + u" 0007 : 010A : 1 -- C:\\a\n", {"1/10/1 C:\\a"}},
    reading_case{"EntryBeforeAnyHeader", u"0000:0100:1 -- C:\\a\n", {}},
    reading_case{"MissingInstallLine", u"// Uninstall Log File v1\n// warning\n// Something\n0000:0100:1 -- C:\\a\n", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InstallDataReadingHeader, ProductAndFoldersAsWritten)
{
    auto f = read(header);
    EXPECT_EQ(f.product, u"Tavrelle 7.07");
    ASSERT_TRUE(f.installPath && f.shortcutPath);
    EXPECT_EQ(*f.installPath, u"D:\\Apps\\T7");
    EXPECT_EQ(*f.shortcutPath, u"C:\\Menu\\T7");
}

TEST(InstallDataSplitting, LinesEndAfterTheirLineFeedAndTheLastAtTheEnd)
{
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : std::u16string(u"ab\r\n\r\ncd")) utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    auto lines = install_data::split_utf16_lines(utf16);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(*lines[0], u"ab\r\n");
    EXPECT_EQ(*lines[1], u"\r\n");
    EXPECT_EQ(*lines[2], u"cd");
    auto narrow = install_data::split_narrow_lines("x\ny\n");
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_EQ(*narrow[1], "y\n");
}

TEST(InstallDataSplitting, OverLongLineIsLeftOutWithoutDisturbingTheOthers)
{
    std::string narrow = "short\n" + std::string(1022, 'a') + "\n" + std::string(1023, 'b') + "\nlast\n";
    auto lines = install_data::split_narrow_lines(narrow);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(*lines[0], "short\n");
    EXPECT_TRUE(lines[1]) << "1,023 bytes with the line feed still fit";
    EXPECT_FALSE(lines[2]) << "1,024 bytes do not";
    EXPECT_EQ(*lines[3], "last\n");
}

} // namespace
