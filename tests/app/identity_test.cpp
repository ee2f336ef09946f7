#include "../test_support.h"
#include "app/identity.h"
#include <gtest/gtest.h>
#include <thread>

namespace {

// Starts this test program with helper arguments; returns the process handle.
vh::unique_handle start_helper(const std::wstring& arguments)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    ::CloseHandle(process.hThread);
    return vh::unique_handle(process.hProcess);
}

DWORD wait_exit(const vh::unique_handle& process)
{
    DWORD code = 0xDEAD;
    if (::WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.get(), &code);
    return code;
}

bool try_take_on_other_thread(const std::wstring& name)
{
    bool taken = false;
    std::thread([&] {
        app::instance_lock other;
        other.create(name);
        taken = other.try_take();
    }).join();
    return taken;
}

TEST(ApplicationIdentity, ComesFromTheVersionResource)
{
    EXPECT_EQ(app::application_identifier(), L"Tavrelle7");
    EXPECT_EQ(app::instance_lock_name(L"Tavrelle7"), L"Global\\Tavrelle7.{5ead623c-dfcd-474d-8e3c-e6978cac039e}");
    EXPECT_EQ(app::instance_counter_name(L"Tavrelle7"), L"Global\\Tavrelle7.{a3526b56-ca7c-4e16-8a26-da7758a378fd}");
}

TEST(InstanceLock, OnlyOneHolderAtATime)
{
    const std::wstring name = L"Global\\VhTest.lock.one";
    app::instance_lock lock;
    lock.create(name);
    EXPECT_FALSE(lock.held());
    ASSERT_TRUE(lock.try_take());
    EXPECT_TRUE(lock.held());
    EXPECT_FALSE(try_take_on_other_thread(name));
    lock.release();
    EXPECT_FALSE(lock.held());
    EXPECT_TRUE(try_take_on_other_thread(name));
}

TEST(InstanceLock, AbandonedByAnEndedHolderCountsAsTaken)
{
    const std::wstring name = L"Global\\VhTest.lock.abandoned";
    app::instance_lock lock;
    lock.create(name);
    vh::unique_handle child = start_helper(L"--hold-lock " + name);
    ASSERT_TRUE(child);
    ASSERT_EQ(wait_exit(child), 0u) << "the helper could not take the lock";
    DWORD raw = ::WaitForSingleObject(lock.handle(), 0);
    EXPECT_EQ(raw, static_cast<DWORD>(WAIT_ABANDONED));
    ::ReleaseMutex(lock.handle());
    // Abandon again and check through try_take.
    child = start_helper(L"--hold-lock " + name);
    ASSERT_EQ(wait_exit(child), 0u);
    EXPECT_TRUE(lock.try_take());
}

TEST(InstanceLock, WithoutAMutexItIsNeverTaken)
{
    app::instance_lock lock;
    EXPECT_FALSE(lock.try_take());
    lock.destroy();   // harmless when never created
}

TEST(InstanceLock, DestroyReleasesTheHold)
{
    const std::wstring name = L"Global\\VhTest.lock.destroy";
    {
        app::instance_lock lock;
        lock.create(name);
        ASSERT_TRUE(lock.try_take());
        EXPECT_FALSE(try_take_on_other_thread(name));
    }
    EXPECT_TRUE(try_take_on_other_thread(name));
}

TEST(InstanceCounter, CountsEveryRunningMember)
{
    const std::wstring name = L"Global\\VhTest.counter";
    const std::wstring events = L"VhTest.counter.events";
    app::instance_counter counter;
    counter.create_and_add(name);
    EXPECT_EQ(counter.units_added(), 1);
    EXPECT_EQ(counter.count(), 1);
    EXPECT_EQ(counter.count(), 1) << "counting must not change the count";

    vh::unique_handle ready(::CreateEventW(nullptr, TRUE, FALSE, (events + L".ready").c_str()));
    vh::unique_handle done(::CreateEventW(nullptr, TRUE, FALSE, (events + L".done").c_str()));
    vh::unique_handle child = start_helper(L"--add-unit " + name + L" " + events);
    ASSERT_TRUE(child);
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(counter.count(), 2);
    ::SetEvent(done.get());
    EXPECT_EQ(wait_exit(child), 0u);
    EXPECT_EQ(counter.count(), 1) << "the helper gives its unit back when it ends";

    counter.destroy();
    EXPECT_EQ(counter.units_added(), 0);
    EXPECT_EQ(counter.count(), 0) << "a destroyed counter answers 0";
    app::instance_counter observer;
    observer.create_and_add(name);
    EXPECT_EQ(observer.count(), 1) << "only the observer's own unit is left";
}

} // namespace
