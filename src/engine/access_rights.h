// Administrator test, users' rights on files and folders, and token privileges, over a
// security layer that binds advapi32's functions by name at first use.
#pragma once
#include <windows.h>
#include <filesystem>
#include <system_error>
#include <vector>

namespace vh {

// An error of the security layer; code().value() is the HRESULT.
class security_error : public std::system_error {
public:
    explicit security_error(HRESULT hr) : std::system_error(static_cast<int>(hr), std::system_category()) {}
    HRESULT hresult() const { return static_cast<HRESULT>(code().value()); }
};

constexpr DWORD users_full_access = 0x001F01FF;   // shared data folders, inherited (flags 3)
constexpr DWORD users_modify_access = 0x0013019F; // SharedData files, no inheritance

bool is_administrator();
// Adds (or replaces) the built-in Users entry of the path's DACL; raises security_error.
bool grant_users_access(const std::filesystem::path& path, DWORD mask, BYTE aceFlags);
bool set_privilege(const wchar_t* name, bool enable);
// set_privilege on a given token (opened with TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY).
bool set_token_privilege(HANDLE token, const wchar_t* name, bool enable);

// A self-contained absolute security descriptor with its DACL.
struct dacl_descriptor {
    std::vector<BYTE> acl;
    SECURITY_DESCRIPTOR descriptor{};
};

// The new descriptor of grant_users_access, built from the old one (null: none): explicit
// entries, the new Users entry, inherited entries; earlier Users entries are left out and
// the DACL's inheritance control bits are carried over.
dacl_descriptor build_users_dacl(PSECURITY_DESCRIPTOR old, DWORD mask, BYTE aceFlags);

} // namespace vh
