#include "app/identity.h"
#include "support/ui_hooks.h"
#include "support/version_info.h"

namespace app {

namespace {

// Both objects are shared with programs running under other accounts: the DACL has one
// entry granting Everyone full access to the object.
class everyone_security {
public:
    explicit everyone_security(DWORD access)
    {
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, everyone_.put())) return;
        if (!::InitializeAcl(reinterpret_cast<ACL*>(acl_), sizeof(acl_), ACL_REVISION) ||
            !::AddAccessAllowedAce(reinterpret_cast<ACL*>(acl_), ACL_REVISION, access, everyone_.get()) ||
            !::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
            !::SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<ACL*>(acl_), FALSE))
            return;
        attributes_ = {sizeof(attributes_), &descriptor_, FALSE};
        valid_ = true;
    }
    SECURITY_ATTRIBUTES* attributes() { return valid_ ? &attributes_ : nullptr; }

private:
    vh::unique_sid everyone_;
    alignas(DWORD) BYTE acl_[128] = {};
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    bool valid_ = false;
};

std::wstring compute_identifier()
{
    std::wstring id = vh::version_info::from_own_resource().string_value(L"ApplicationId");
    // Else the display name, else the program file's name.
    return id.empty() ? vh::default_application_name() : id;
}

} // namespace

const std::wstring& application_identifier()
{
    static const std::wstring id = compute_identifier();
    return id;
}

std::wstring instance_lock_name(const std::wstring& identifier)
{
    return L"Global\\" + identifier + L".{5ead623c-dfcd-474d-8e3c-e6978cac039e}";
}

std::wstring instance_counter_name(const std::wstring& identifier)
{
    return L"Global\\" + identifier + L".{a3526b56-ca7c-4e16-8a26-da7758a378fd}";
}

void instance_lock::create(const std::wstring& name)
{
    destroy();
    everyone_security security(MUTEX_ALL_ACCESS);   // 0x1F0001
    mutex_.reset(::CreateMutexW(security.attributes(), FALSE, name.c_str()));
}

bool instance_lock::try_take()
{
    if (held_) return true;
    if (!mutex_) return false;
    DWORD wait = ::WaitForSingleObject(mutex_.get(), 0);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    return held_;
}

void instance_lock::release()
{
    if (held_ && mutex_) ::ReleaseMutex(mutex_.get());
    held_ = false;
}

void instance_lock::destroy()
{
    release();
    mutex_.reset();
}

void instance_counter::create_and_add(const std::wstring& name)
{
    everyone_security security(SEMAPHORE_ALL_ACCESS);   // 0x1F0003
    semaphore_.reset(::CreateSemaphoreW(security.attributes(), 0, 0x7FFFFFFF, name.c_str()));
    if (semaphore_ && ::ReleaseSemaphore(semaphore_.get(), 1, nullptr)) ++added_;
}

long instance_counter::count() const
{
    LONG previous = 0;
    if (!semaphore_ || !::ReleaseSemaphore(semaphore_.get(), 1, &previous)) return 0;
    ::WaitForSingleObject(semaphore_.get(), 0);
    return previous;
}

void instance_counter::destroy()
{
    if (!semaphore_) return;
    long taken = 0;
    while (taken < added_ && ::WaitForSingleObject(semaphore_.get(), 0) == WAIT_OBJECT_0) ++taken;
    if (taken < added_) {
        // Another program took our units: give back what we took and keep the record.
        if (taken) ::ReleaseSemaphore(semaphore_.get(), taken, nullptr);
    } else {
        added_ = 0;
    }
    semaphore_.reset();
}

instance_counter& running_instances()
{
    static instance_counter counter;
    return counter;
}

} // namespace app
