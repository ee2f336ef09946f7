#include "../test_support.h"
#include "support/product.h"
#include "support/registry.h"
#include <gtest/gtest.h>
#include <fstream>
#include <vector>

namespace {

constexpr wchar_t test_key[] = L"Software\\VarnholtTests\\Registry";

class Registry : public ::testing::Test {
protected:
    void SetUp() override { key = vh::create_key(HKEY_CURRENT_USER, test_key); }
    void TearDown() override
    {
        key.reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VarnholtTests");
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, vh::product::maker_key, L"Tavrelle 7 Path");
    }
    void set(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    vh::unique_hkey key;
};

TEST_F(Registry, ReadStringValueAcceptsOnlyTerminatedStrings)
{
    const wchar_t text[] = L"C:\\Apps";
    // Windows adds the terminator itself when the character after the data is NUL, so
    // something else must follow the three characters stored.
    const wchar_t unterminated[] = {L'a', L'b', L'c', L'd'};
    const wchar_t expand[] = L"%WINDIR%\\x";
    DWORD number = 7;
    set(L"plain", REG_SZ, text, sizeof(text));
    set(L"expand", REG_EXPAND_SZ, expand, sizeof(expand));
    set(L"empty", REG_SZ, nullptr, 0);
    set(L"odd", REG_SZ, text, sizeof(text) - 1);
    set(L"unterminated", REG_SZ, unterminated, 3 * sizeof(wchar_t));
    set(L"number", REG_DWORD, &number, sizeof(number));
    set(L"binary", REG_BINARY, text, sizeof(text));

    struct value_case { const wchar_t* name; bool found; const wchar_t* expected; };
    const value_case cases[] = {
        {L"plain", true, L"C:\\Apps"},
        {L"expand", true, L"%WINDIR%\\x"},   // returned as stored
        {L"empty", true, L""},
        {L"odd", false, L""},
        {L"unterminated", false, L""},
        {L"number", false, L""},
        {L"binary", false, L""},
        {L"absent", false, L""},
    };
    for (const auto& c : cases) {
        std::wstring value = L"untouched";
        EXPECT_EQ(vh::read_string_value(key.get(), c.name, value), c.found) << c.name;
        if (c.found) {
            EXPECT_EQ(value, c.expected) << c.name;
        }
    }
}

TEST_F(Registry, OpenKeyGivesNullForAnAbsentKeyAndThrowsOnOtherErrors)
{
    EXPECT_FALSE(vh::open_key(HKEY_CURRENT_USER, L"Software\\VarnholtTests\\Absent"));
    EXPECT_TRUE(vh::open_key(HKEY_CURRENT_USER, test_key));
    try {
        vh::open_key(reinterpret_cast<HKEY>(0x1234), L"x");
        FAIL() << "an invalid root must raise";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().category(), std::system_category());
        EXPECT_EQ(e.code().value(), ERROR_INVALID_HANDLE);
    }
}

TEST_F(Registry, ThrowWin32ErrorCarriesTheSystemText)
{
    try {
        vh::throw_win32_error(ERROR_ACCESS_DENIED);
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), 5);
        EXPECT_EQ(e.code().category(), std::system_category());
        EXPECT_EQ(std::string(e.what()), e.code().message());
    }
}

TEST(ProductIdentity, DisplayNameByProductCode)
{
    EXPECT_EQ(vh::product_display_name(775), L"Tavrelle 7");
    try {
        vh::product_display_name(776);
        FAIL() << "unknown product code";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "logic error");
    }
}

TEST_F(Registry, RegisteredPathCountsOnlyWhenSomethingIsThere)
{
    EXPECT_EQ(vh::read_registered_path(775), L"");   // no record yet
    std::wstring existing = test::program_folder() + L"registered.exe";
    std::ofstream(std::string(existing.begin(), existing.end())) << "x";
    ASSERT_TRUE(vh::register_program_path(existing));

    vh::unique_hkey maker = vh::open_key(HKEY_LOCAL_MACHINE, vh::product::maker_key);
    ASSERT_TRUE(maker);
    DWORD type = 0, size = 0;
    ASSERT_EQ(::RegQueryValueExW(maker.get(), L"Tavrelle 7 Path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, (existing.size() + 1) * 2);
    EXPECT_EQ(vh::read_registered_path(775), existing);

    ::DeleteFileW(existing.c_str());
    EXPECT_EQ(vh::read_registered_path(775), L"");   // recorded, but nothing there
}

} // namespace
