#include "payload/destination.h"
#include "payload/extract.h"
#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

namespace fs = std::filesystem;

std::wstring fake_folders(int csidl)
{
    switch (csidl) {
    case CSIDL_COMMON_APPDATA: return L"C:\\ProgramData";
    case CSIDL_APPDATA: return L"C:\\Users\\u\\AppData\\Roaming";
    case CSIDL_COMMON_DESKTOPDIRECTORY: return L"C:\\Users\\Public\\Desktop";
    case CSIDL_DESKTOPDIRECTORY: return L"C:\\Users\\u\\Desktop";
    case CSIDL_PROGRAM_FILES: return L"C:\\Program Files (x86)";
    case CSIDL_PROGRAM_FILES_COMMON: return L"C:\\Program Files (x86)\\Common Files";
    case CSIDL_PERSONAL: return L"C:\\Users\\u\\Documents";
    case CSIDL_WINDOWS: return L"C:\\windows";
    case CSIDL_SYSTEM: return L"C:\\windows\\system32";
    default: return L"";   // no public documents folder: the fallback applies
    }
}

payload::destination_inputs inputs(std::wstring sample = L"Tavrelle Examples", fs::path temp = L"C:\\Temp\\varnholt_{x}")
{
    return {L"C:\\Apps\\Tavrelle 7", std::move(sample), std::move(temp), fake_folders};
}

TEST(ResolveDestination, EveryPlaceholder)
{
    struct resolve_case { const wchar_t* destination; const wchar_t* expected; };
    const resolve_case cases[] = {
        {L"<InstallPath>", L"C:\\Apps\\Tavrelle 7"},
        {L"<InstallPath>\\Lang", L"C:\\Apps\\Tavrelle 7\\Lang"},
        {L"<SamplePath>", L"C:\\Users\\Public\\Desktop\\Tavrelle Examples"},
        {L"<ProgramFiles>\\Varnholt", L"C:\\Program Files (x86)\\Varnholt"},
        {L"<ProgramCommon>", L"C:\\Program Files (x86)\\Common Files"},
        {L"<CommonData>\\Varnholt\\Materials", L"C:\\ProgramData\\Varnholt\\Materials"},
        {L"<UserData>\\Varnholt\\Tavrelle 7", L"C:\\Users\\u\\AppData\\Roaming\\Varnholt\\Tavrelle 7"},
        {L"<CommonDocuments>\\x", L"C:\\Users\\u\\Documents\\x"},   // fallback to the user's documents
        {L"<Documents>", L"C:\\Users\\u\\Documents"},
        {L"<CommonDesktop>", L"C:\\Users\\Public\\Desktop"},
        {L"<Desktop>", L"C:\\Users\\u\\Desktop"},
        {L"<WinDir>\\Fonts", L"C:\\windows\\Fonts"},
        {L"<System>", L"C:\\windows\\system32"},
        {L"<Temporary>", L"C:\\Temp\\varnholt_{x}"},
        // Tokens are case-sensitive: anything else in brackets leaves a relative path.
        {L"<installpath>\\Lang", L"Lang"},
        {L"<Unknown>\\a\\b", L"a\\b"},
        {L"C:\\Data", L"C:\\Data"},
        {L"", L""},
        {L"<InstallPath", L"<InstallPath"},
    };
    for (const auto& c : cases) {
        payload::shared_folder_list shared;
        EXPECT_EQ(payload::resolve_destination(c.destination, inputs(), shared).native(), std::wstring(c.expected))
            << std::string(c.destination, c.destination + wcslen(c.destination));
    }
}

TEST(ResolveDestination, SampleFolderNameForms)
{
    payload::shared_folder_list shared;
    EXPECT_EQ(payload::resolve_destination(L"<SamplePath>", inputs(L""), shared).native(), L"C:\\Users\\Public\\Desktop");
    EXPECT_EQ(payload::resolve_destination(L"<SamplePath>", inputs(L"D:\\Samples"), shared).native(), L"D:\\Samples");
    EXPECT_TRUE(shared.folders().empty()) << "neither the desktop itself nor an absolute name is shared";
    payload::resolve_destination(L"<SamplePath>", inputs(), shared);
    ASSERT_EQ(shared.folders().size(), 1u);
    EXPECT_EQ(shared.folders()[0].path.native(), L"C:\\Users\\Public\\Desktop\\Tavrelle Examples");
}

TEST(ResolveDestination, TemporaryFallsBackToTheInstallationFolder)
{
    payload::shared_folder_list shared;
    EXPECT_EQ(payload::resolve_destination(L"<Temporary>", inputs(L"x", L""), shared).native(), L"C:\\Apps\\Tavrelle 7");
}

TEST(ResolveDestination, EveryLevelBelowACommonRootIsSharedOnce)
{
    payload::shared_folder_list shared;
    payload::resolve_destination(L"<CommonData>\\Varnholt\\Textures\\Tavrelle 7", inputs(), shared);
    payload::resolve_destination(L"<CommonData>\\Varnholt\\Textures\\Tavrelle 7", inputs(), shared);
    payload::resolve_destination(L"<UserData>\\Varnholt", inputs(), shared);
    std::vector<std::wstring> listed;
    for (const auto& f : shared.folders()) listed.push_back(f.path.native());
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"C:\\ProgramData\\Varnholt", L"C:\\ProgramData\\Varnholt\\Textures",
                                                 L"C:\\ProgramData\\Varnholt\\Textures\\Tavrelle 7"}));
}

TEST(ResolveDestination, UnresolvableSpecialFolderIsError7)
{
    payload::destination_inputs none{L"C:\\Apps", L"", L"", [](int) { return std::wstring(); }};
    payload::shared_folder_list shared;
    try {
        payload::resolve_destination(L"<CommonData>\\Varnholt", none, shared);
        FAIL() << "expected error 7";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), payload::make_error_code(payload::compress_error::unexpected));
        EXPECT_STREQ(e.code().category().name(), "compress");
    }
}

TEST(ResolveDestination, RealShellFolders)
{
    payload::destination_inputs real{L"C:\\Apps", L"", L""};
    payload::shared_folder_list shared;
    EXPECT_EQ(payload::resolve_destination(L"<CommonData>", real, shared).native(), payload::shell_folder(CSIDL_COMMON_APPDATA));
    EXPECT_FALSE(payload::shell_folder(CSIDL_COMMON_APPDATA).empty());
}

} // namespace
