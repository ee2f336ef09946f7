// The application identifier and the two machine-wide kernel objects named from it,
// shared with the installed product and its uninstaller.
#pragma once
#include "support/unique_handle.h"
#include <string>

namespace app {

// "ApplicationId" of the own version resource, else its ProductName, else the program
// file's name without folder and extension. Computed once.
const std::wstring& application_identifier();
std::wstring instance_lock_name(const std::wstring& identifier);
std::wstring instance_counter_name(const std::wstring& identifier);

// A named mutex that only one program of the family holds at a time.
class instance_lock {
public:
    instance_lock() = default;
    ~instance_lock() { destroy(); }
    instance_lock(instance_lock&&) = default;
    instance_lock& operator=(instance_lock&&) = default;

    // Creates or opens the mutex without taking it.
    void create(const std::wstring& name);
    // No waiting; an abandoned mutex (its holder ended without releasing) counts as taken.
    bool try_take();
    void release();
    void destroy();
    bool held() const { return held_; }
    HANDLE handle() const { return mutex_.get(); }

private:
    vh::unique_handle mutex_;
    bool held_ = false;
};

// A named semaphore to which every running program of the family adds one unit.
class instance_counter {
public:
    ~instance_counter() { destroy(); }
    // Creates or opens the semaphore and adds this process's unit.
    void create_and_add(const std::wstring& name);
    // Units currently added by all programs; 0 when the semaphore is unusable.
    long count() const;
    // Takes back this process's units, then closes the handle.
    void destroy();
    long units_added() const { return added_; }

private:
    vh::unique_handle semaphore_;
    long added_ = 0;
};

// The running-instance counter of this process (created by application start-up).
instance_counter& running_instances();

} // namespace app
