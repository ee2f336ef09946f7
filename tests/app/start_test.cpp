#include "../test_support.h"
#include "app/identity.h"
#include "app/process_start.h"
#include "support/error_text.h"
#include "support/language.h"
#include "support/texts.h"
#include <gtest/gtest.h>

namespace {

TEST(ProcessStart, ChecksPassOnThisMachine)
{
    EXPECT_TRUE(app::check_processor());
    EXPECT_TRUE(app::processor_check_passed());
    EXPECT_TRUE(app::library_startup());
    // Through the manifest the program gets common controls 6 (Wine answers 5.81 to
    // DllGetVersion; the activation context tells the assembly version).
    EXPECT_GE(app::common_controls_version(), 0x60000u);
}

TEST(ProcessStart, LibraryStartupAddsTheCriticalErrorModes)
{
    ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
    ASSERT_TRUE(app::library_startup());
    UINT mode = ::GetErrorMode();
    EXPECT_EQ(mode & (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX),
              static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX));
}

struct started_process {
    vh::unique_handle handle;
    DWORD id = 0;
};

started_process start_installer()
{
    std::wstring exe = test::unix_path_from_env("VH_DIST_DIR") + L"\\TavrelleSetup.exe";
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    ::CloseHandle(process.hThread);
    return {vh::unique_handle(process.hProcess), process.dwProcessId};
}

DWORD close_box_and_wait(HWND box, const started_process& process)
{
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 0xDEAD;
    if (::WaitForSingleObject(process.handle.get(), 20000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.handle.get(), &code);
    return code;
}

TEST(Installer, SecondCopyReportsBusyAndEnds)
{
    if (!std::getenv("VH_DIST_DIR")) GTEST_SKIP() << "VH_DIST_DIR names the folder of the built installer";
    vh::set_current_language(vh::lang_english);

    started_process first = start_installer();
    ASSERT_TRUE(first.handle) << "cannot start the installer";
    HWND firstBox = test::wait_for_dialog_of_process(first.id);
    ASSERT_TRUE(firstBox) << "the first copy shows nothing";
    EXPECT_EQ(test::window_text(firstBox), vh::installer_title());

    started_process second = start_installer();
    ASSERT_TRUE(second.handle);
    HWND busy = test::wait_for_dialog_of_process(second.id);
    ASSERT_TRUE(busy) << "the second copy shows nothing";
    EXPECT_EQ(test::message_box_text(busy), vh::error_text(HRESULT_FROM_WIN32(ERROR_BUSY)));
    EXPECT_EQ(test::window_text(busy), vh::installer_title()) << "caption: the installer title";
    EXPECT_EQ(close_box_and_wait(busy, second), 0u);

    // The first copy still holds the lock until it ends.
    EXPECT_EQ(::WaitForSingleObject(first.handle.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(close_box_and_wait(firstBox, first), 0u);
}

} // namespace
