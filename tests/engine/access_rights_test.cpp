#include "../test_support.h"
#include "engine/access_rights.h"
#include "support/unique_handle.h"
#include <gtest/gtest.h>
#include <sddl.h>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::wstring sid_text(PSID sid)
{
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return L"?";
    std::wstring s = text;
    ::LocalFree(text);
    return s;
}

// "SID mask/flags" for every ACE of a DACL, in order.
std::vector<std::wstring> describe(PSECURITY_DESCRIPTOR sd)
{
    BOOL present = FALSE, defaulted = FALSE;
    ACL* acl = nullptr;
    ::GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted);
    std::vector<std::wstring> out;
    if (!present || !acl) return out;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* ace = nullptr;
        ::GetAce(acl, i, &ace);
        auto allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        wchar_t mask[32];
        swprintf(mask, 32, L" %lx/%x", allowed->Mask, allowed->Header.AceFlags);
        out.push_back(sid_text(&allowed->SidStart) + mask);
    }
    return out;
}

// A descriptor made in memory: ACEs given as (SDDL SID string, mask, flags).
struct memory_descriptor {
    struct ace { const wchar_t* sid; DWORD mask; BYTE flags; };
    explicit memory_descriptor(std::vector<ace> aces, SECURITY_DESCRIPTOR_CONTROL control = 0, bool withDacl = true)
        : acl(1024, 0)
    {
        ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        if (withDacl) {
            ::InitializeAcl(reinterpret_cast<ACL*>(acl.data()), static_cast<DWORD>(acl.size()), ACL_REVISION);
            for (const auto& a : aces) {
                PSID sid = nullptr;
                ::ConvertStringSidToSidW(a.sid, &sid);
                ::AddAccessAllowedAceEx(reinterpret_cast<ACL*>(acl.data()), ACL_REVISION, a.flags, a.mask, sid);
                ::LocalFree(sid);
            }
            ::SetSecurityDescriptorDacl(&sd, TRUE, reinterpret_cast<ACL*>(acl.data()), FALSE);
        }
        if (control) ::SetSecurityDescriptorControl(&sd, control, control);
    }
    std::vector<BYTE> acl;
    SECURITY_DESCRIPTOR sd{};
};

SECURITY_DESCRIPTOR_CONTROL control_of(PSECURITY_DESCRIPTOR sd)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(sd, &control, &revision);
    return control;
}

constexpr BYTE inherited = INHERITED_ACE;

TEST(UsersDacl, ReplacesEveryUsersEntryAndKeepsCanonicalOrder)
{
    memory_descriptor old({{L"S-1-1-0", 0x120089, 0},              // Everyone read, explicit
                           {L"S-1-5-32-545", 0x120089, 0},         // Users read, explicit
                           {L"S-1-5-32-544", 0x1F01FF, 0},         // Administrators, explicit
                           {L"S-1-5-18", 0x1F01FF, inherited | 3}, // SYSTEM, inherited
                           {L"S-1-5-32-545", 0x1200A9, inherited | 3}});
    vh::dacl_descriptor updated = vh::build_users_dacl(&old.sd, vh::users_full_access, 3);
    EXPECT_EQ(describe(&updated.descriptor), (std::vector<std::wstring>{
                                                 L"S-1-1-0 120089/0", L"S-1-5-32-544 1f01ff/0",
                                                 L"S-1-5-32-545 1f01ff/3", L"S-1-5-18 1f01ff/13"}));
    EXPECT_TRUE(::IsValidSecurityDescriptor(&updated.descriptor));
}

TEST(UsersDacl, NoDaclGivesOnlyTheUsersEntry)
{
    memory_descriptor old({}, 0, false);
    vh::dacl_descriptor fromEmpty = vh::build_users_dacl(&old.sd, vh::users_modify_access, 0);
    vh::dacl_descriptor fromNothing = vh::build_users_dacl(nullptr, vh::users_modify_access, 0);
    EXPECT_EQ(describe(&fromEmpty.descriptor), std::vector<std::wstring>{L"S-1-5-32-545 13019f/0"});
    EXPECT_EQ(describe(&fromNothing.descriptor), std::vector<std::wstring>{L"S-1-5-32-545 13019f/0"});
}

TEST(UsersDacl, InheritanceControlBitsAreCarried)
{
    struct control_case { SECURITY_DESCRIPTOR_CONTROL old, expected; };
    const control_case cases[] = {
        {SE_DACL_AUTO_INHERITED, SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED},
        {SE_DACL_PROTECTED, SE_DACL_PROTECTED},
        {SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED, SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED},
        {0, 0},
    };
    const SECURITY_DESCRIPTOR_CONTROL watched = SE_DACL_AUTO_INHERIT_REQ | SE_DACL_AUTO_INHERITED | SE_DACL_PROTECTED;
    for (const auto& c : cases) {
        memory_descriptor old({{L"S-1-1-0", 1, 0}}, c.old);
        vh::dacl_descriptor updated = vh::build_users_dacl(&old.sd, vh::users_full_access, 3);
        EXPECT_EQ(control_of(&updated.descriptor) & watched, c.expected) << std::hex << c.old;
    }
}

TEST(GrantUsersAccess, SucceedsOnFilesAndFoldersAndRaisesOnAMissingPath)
{
    std::filesystem::path folder = test::program_folder() + L"grant-scratch";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / L"file.txt") << "x";
    EXPECT_TRUE(vh::grant_users_access(folder, vh::users_full_access, 3));
    EXPECT_TRUE(vh::grant_users_access(folder / L"file.txt", vh::users_modify_access, 0));
    try {
        vh::grant_users_access(folder / L"missing.txt", vh::users_modify_access, 0);
        FAIL() << "a missing path must raise";
    } catch (const vh::security_error& e) {
        EXPECT_EQ(e.hresult(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) << std::hex << e.hresult();
    }
    std::filesystem::remove_all(folder);
}

// A token without the Administrators group: a restricted copy of ours, with the group
// deny-only and every privilege removed.
vh::unique_handle restricted_primary_token()
{
    vh::unique_handle process, restricted;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, process.put());
    PSID admins = nullptr;
    ::ConvertStringSidToSidW(L"S-1-5-32-544", &admins);
    SID_AND_ATTRIBUTES deny{admins, 0};
    BOOL ok = ::CreateRestrictedToken(process.get(), DISABLE_MAX_PRIVILEGE, 1, &deny, 0, nullptr, 0, nullptr, restricted.put());
    ::LocalFree(admins);
    return ok ? std::move(restricted) : vh::unique_handle();
}

vh::unique_handle restricted_token()
{
    vh::unique_handle restricted = restricted_primary_token(), impersonation;
    if (!restricted || !::DuplicateToken(restricted.get(), SecurityImpersonation, impersonation.put())) return {};
    return impersonation;
}

TEST(IsAdministrator, FollowsTheThreadsEffectiveToken)
{
    EXPECT_TRUE(vh::is_administrator()) << "the test prefix runs as an administrator";
    vh::unique_handle token = restricted_token();
    ASSERT_TRUE(token);
    ASSERT_TRUE(::SetThreadToken(nullptr, token.get()));
    bool asRestricted = vh::is_administrator();
    ::RevertToSelf();
    EXPECT_FALSE(asRestricted);
    EXPECT_TRUE(vh::is_administrator());
}

TEST(SetPrivilege, SwitchesAHeldPrivilegeAndRefusesOneNotHeld)
{
    EXPECT_TRUE(vh::set_privilege(SE_BACKUP_NAME, true));
    EXPECT_TRUE(vh::set_privilege(SE_BACKUP_NAME, false));
    EXPECT_FALSE(vh::set_privilege(L"SeNoSuchPrivilege", true));

    vh::unique_handle adjustable = restricted_primary_token();
    ASSERT_TRUE(adjustable);
    // Probe: Wine grants every privilege it is asked for, even on a token that was made
    // without any (AdjustTokenPrivileges never reports ERROR_NOT_ALL_ASSIGNED there).
    LUID luid{};
    ::LookupPrivilegeValueW(nullptr, SE_BACKUP_NAME, &luid);
    TOKEN_PRIVILEGES probe{1, {{luid, SE_PRIVILEGE_ENABLED}}};
    ::SetLastError(0);
    ::AdjustTokenPrivileges(adjustable.get(), FALSE, &probe, 0, nullptr, nullptr);
    if (::GetLastError() != ERROR_NOT_ALL_ASSIGNED)
        GTEST_SKIP() << "this platform grants privileges a token does not hold (Wine): the not-held case cannot be shown";
    EXPECT_FALSE(vh::set_token_privilege(adjustable.get(), SE_BACKUP_NAME, true));
}

} // namespace
