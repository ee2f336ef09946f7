#include "engine/access_rights.h"
#include "support/unique_handle.h"
#include <aclapi.h>
#include <memory>

namespace vh {

namespace {

// The security layer: every advapi32 function bound on first use and kept.
HMODULE advapi32()
{
    static HMODULE module = [] {
        HMODULE m = ::GetModuleHandleW(L"advapi32.dll");
        if (!m) m = ::LoadLibraryExW(L"advapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        if (!m) m = ::LoadLibraryExW(L"advapi32.dll", nullptr, 0);
        return m;
    }();
    if (!module) throw security_error(E_UNEXPECTED);
    return module;
}

template <typename F>
F* bind(const char* name, bool required = true)
{
    FARPROC p = ::GetProcAddress(advapi32(), name);
    if (!p && required) throw security_error(E_NOTIMPL);
    return reinterpret_cast<F*>(reinterpret_cast<void*>(p));
}

#define VH_SECURITY_FUNCTION(name)                                                  \
    decltype(&::name) name##_()                                                     \
    {                                                                               \
        static decltype(&::name) f = bind<std::remove_pointer_t<decltype(&::name)>>(#name); \
        return f;                                                                   \
    }

VH_SECURITY_FUNCTION(AllocateAndInitializeSid)
VH_SECURITY_FUNCTION(FreeSid)
VH_SECURITY_FUNCTION(GetLengthSid)
VH_SECURITY_FUNCTION(EqualSid)
VH_SECURITY_FUNCTION(CheckTokenMembership)
VH_SECURITY_FUNCTION(ImpersonateSelf)
VH_SECURITY_FUNCTION(RevertToSelf)
VH_SECURITY_FUNCTION(OpenProcessToken)
VH_SECURITY_FUNCTION(OpenThreadToken)
VH_SECURITY_FUNCTION(AccessCheck)
VH_SECURITY_FUNCTION(InitializeAcl)
VH_SECURITY_FUNCTION(AddAccessAllowedAce)
VH_SECURITY_FUNCTION(GetAclInformation)
VH_SECURITY_FUNCTION(GetAce)
VH_SECURITY_FUNCTION(AddAce)
VH_SECURITY_FUNCTION(InitializeSecurityDescriptor)
VH_SECURITY_FUNCTION(IsValidSecurityDescriptor)
VH_SECURITY_FUNCTION(GetSecurityDescriptorDacl)
VH_SECURITY_FUNCTION(SetSecurityDescriptorDacl)
VH_SECURITY_FUNCTION(SetSecurityDescriptorGroup)
VH_SECURITY_FUNCTION(SetSecurityDescriptorOwner)
VH_SECURITY_FUNCTION(GetFileSecurityW)
VH_SECURITY_FUNCTION(SetFileSecurityW)
VH_SECURITY_FUNCTION(LookupPrivilegeValueW)
VH_SECURITY_FUNCTION(AdjustTokenPrivileges)

// Optional ones: their absence changes the algorithm instead of failing it.
decltype(&::AddAccessAllowedAceEx) AddAccessAllowedAceEx_()
{
    static auto f = bind<std::remove_pointer_t<decltype(&::AddAccessAllowedAceEx)>>("AddAccessAllowedAceEx", false);
    return f;
}
decltype(&::GetSecurityDescriptorControl) GetSecurityDescriptorControl_()
{
    static auto f = bind<std::remove_pointer_t<decltype(&::GetSecurityDescriptorControl)>>("GetSecurityDescriptorControl", false);
    return f;
}
decltype(&::SetSecurityDescriptorControl) SetSecurityDescriptorControl_()
{
    static auto f = bind<std::remove_pointer_t<decltype(&::SetSecurityDescriptorControl)>>("SetSecurityDescriptorControl", false);
    return f;
}

[[noreturn]] void raise_last_error()
{
    DWORD c = ::GetLastError();
    throw security_error(static_cast<LONG>(c) <= 0 ? static_cast<HRESULT>(c) : HRESULT(0x80070000u | (c & 0xFFFF)));
}

void check(BOOL ok)
{
    if (!ok) raise_last_error();
}

struct sid_owner {
    PSID sid = nullptr;
    ~sid_owner() { if (sid) FreeSid_()(sid); }
};

sid_owner builtin_sid(DWORD rid)
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    sid_owner s;
    check(AllocateAndInitializeSid_()(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, rid, 0, 0, 0, 0, 0, 0, &s.sid));
    return s;
}

bool is_administrator_by_access_check()
{
    bool answer = false;
    bool impersonated = false;
    vh::unique_handle token;
    try {
        check(ImpersonateSelf_()(SecurityImpersonation));
        impersonated = true;
        check(OpenThreadToken_()(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put()));
        sid_owner admins = builtin_sid(DOMAIN_ALIAS_RID_ADMINS);
        DWORD aclSize = GetLengthSid_()(admins.sid) + 16;
        std::vector<BYTE> acl(aclSize + sizeof(ACL), 0);
        check(InitializeAcl_()(reinterpret_cast<ACL*>(acl.data()), static_cast<DWORD>(acl.size()), ACL_REVISION));
        check(AddAccessAllowedAce_()(reinterpret_cast<ACL*>(acl.data()), ACL_REVISION, 3, admins.sid));
        SECURITY_DESCRIPTOR sd{};
        check(InitializeSecurityDescriptor_()(&sd, SECURITY_DESCRIPTOR_REVISION));
        check(SetSecurityDescriptorDacl_()(&sd, TRUE, reinterpret_cast<ACL*>(acl.data()), FALSE));
        check(SetSecurityDescriptorGroup_()(&sd, admins.sid, FALSE));
        check(SetSecurityDescriptorOwner_()(&sd, admins.sid, FALSE));
        if (!IsValidSecurityDescriptor_()(&sd)) throw security_error(E_UNEXPECTED);
        GENERIC_MAPPING mapping{1, 2, 0, 3};
        BYTE privileges[20] = {};
        DWORD privilegesSize = sizeof(privileges), granted = 0;
        BOOL status = FALSE;
        check(AccessCheck_()(&sd, token.get(), 1, &mapping, reinterpret_cast<PRIVILEGE_SET*>(privileges),
                             &privilegesSize, &granted, &status));
        answer = status != FALSE;
    } catch (const security_error&) {
        answer = false;
    }
    if (impersonated) RevertToSelf_()();
    return answer;
}

} // namespace

bool is_administrator()
{
    try {
        sid_owner admins = builtin_sid(DOMAIN_ALIAS_RID_ADMINS);
        BOOL member = FALSE;
        check(CheckTokenMembership_()(nullptr, admins.sid, &member));
        return member != FALSE;
    } catch (const security_error&) {
        return is_administrator_by_access_check();
    }
}

dacl_descriptor build_users_dacl(PSECURITY_DESCRIPTOR old, DWORD mask, BYTE aceFlags)
{
    sid_owner users = builtin_sid(DOMAIN_ALIAS_RID_USERS);
    BOOL present = FALSE, defaulted = FALSE;
    ACL* oldAcl = nullptr;
    if (old) check(GetSecurityDescriptorDacl_()(old, &present, &oldAcl, &defaulted));
    ACL_SIZE_INFORMATION info{0, sizeof(ACL), 0};
    if (present && oldAcl) check(GetAclInformation_()(oldAcl, &info, sizeof(info), AclSizeInformation));

    dacl_descriptor result;
    result.acl.assign(info.AclBytesInUse + 8 + GetLengthSid_()(users.sid), 0);
    ACL* acl = reinterpret_cast<ACL*>(result.acl.data());
    check(InitializeAcl_()(acl, static_cast<DWORD>(result.acl.size()), ACL_REVISION));

    DWORD index = 0;
    auto copy_while = [&](bool inheritedRun) {
        for (; index < info.AceCount; ++index) {
            void* ace = nullptr;
            check(GetAce_()(oldAcl, index, &ace));
            auto header = static_cast<ACE_HEADER*>(ace);
            if (!inheritedRun && (header->AceFlags & INHERITED_ACE)) return;
            // Every access-allowed/denied kind keeps its SID right after the mask.
            PSID sid = &reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
            if (EqualSid_()(sid, users.sid)) continue;
            check(AddAce_()(acl, ACL_REVISION, MAXDWORD, ace, header->AceSize));
        }
    };
    copy_while(false);
    auto addEx = AddAccessAllowedAceEx_();
    if (aceFlags && addEx) check(addEx(acl, ACL_REVISION, aceFlags, mask, users.sid));
    else check(AddAccessAllowedAce_()(acl, ACL_REVISION, mask, users.sid));
    copy_while(true);

    check(InitializeSecurityDescriptor_()(&result.descriptor, SECURITY_DESCRIPTOR_REVISION));
    check(SetSecurityDescriptorDacl_()(&result.descriptor, TRUE, acl, FALSE));
    auto getControl = GetSecurityDescriptorControl_();
    auto setControl = SetSecurityDescriptorControl_();
    if (old && getControl && setControl) {
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        check(getControl(old, &control, &revision));
        if (control & SE_DACL_AUTO_INHERITED) {
            constexpr SECURITY_DESCRIPTOR_CONTROL bits = SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED;
            check(setControl(&result.descriptor, bits, bits));
        } else if (control & SE_DACL_PROTECTED) {
            check(setControl(&result.descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED));
        }
    }
    return result;
}

bool grant_users_access(const std::filesystem::path& path, DWORD mask, BYTE aceFlags)
{
    DWORD needed = 0;
    if (!GetFileSecurityW_()(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed) &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        raise_last_error();
    std::vector<BYTE> old(needed, 0);
    check(GetFileSecurityW_()(path.c_str(), DACL_SECURITY_INFORMATION, old.data(), needed, &needed));
    dacl_descriptor updated = build_users_dacl(old.data(), mask, aceFlags);
    check(SetFileSecurityW_()(path.c_str(), DACL_SECURITY_INFORMATION, &updated.descriptor));
    return true;
}

bool set_token_privilege(HANDLE token, const wchar_t* name, bool enable)
{
    try {
        LUID luid{};
        check(LookupPrivilegeValueW_()(nullptr, name, &luid));
        TOKEN_PRIVILEGES query{1, {{luid, 0}}};
        alignas(TOKEN_PRIVILEGES) BYTE previousBuffer[16] = {};
        auto previous = reinterpret_cast<TOKEN_PRIVILEGES*>(previousBuffer);
        DWORD size = sizeof(previousBuffer);
        ::SetLastError(ERROR_SUCCESS);
        if (!AdjustTokenPrivileges_()(token, FALSE, &query, size, previous, &size) || ::GetLastError() != ERROR_SUCCESS)
            return false;
        previous->PrivilegeCount = 1;
        previous->Privileges[0].Luid = luid;
        if (enable) previous->Privileges[0].Attributes |= SE_PRIVILEGE_ENABLED;
        else previous->Privileges[0].Attributes &= ~SE_PRIVILEGE_ENABLED;
        ::SetLastError(ERROR_SUCCESS);
        return AdjustTokenPrivileges_()(token, FALSE, previous, 0, nullptr, nullptr) && ::GetLastError() == ERROR_SUCCESS;
    } catch (const security_error&) {
        return false;
    }
}

bool set_privilege(const wchar_t* name, bool enable)
{
    try {
        vh::unique_handle token;
        check(OpenProcessToken_()(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()));
        return set_token_privilege(token.get(), name, enable);
    } catch (const security_error&) {
        return false;
    }
}

} // namespace vh
