// Reading VS_VERSIONINFO resources: packed version, string values, display text.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace vh {

class version_info {
public:
    // The installer's own version resource; its bytes stay in the loaded image.
    static version_info from_own_resource();
    static version_info from_file(const std::wstring& path);

    std::uint32_t size() const { return size_; }
    const VS_FIXEDFILEINFO* fixed_info() const { return fixed_; }
    const std::vector<std::wstring>& translations() const { return translations_; }

    std::uint64_t packed_version() const;
    std::wstring string_value(const wchar_t* key) const;
    std::wstring display_name() const { return string_value(L"ProductName"); }
    std::wstring display_version() const;

private:
    version_info(std::vector<BYTE> buffer, const void* block, std::uint32_t size);
    bool flag_set(DWORD flag) const;

    std::vector<BYTE> buffer_;
    const void* block_ = nullptr;
    std::uint32_t size_ = 0;
    const VS_FIXEDFILEINFO* fixed_ = nullptr;
    std::vector<std::wstring> translations_;
};

// "a.b.c.d" from a packed version, for logs and tests.
std::wstring packed_version_text(std::uint64_t version);

} // namespace vh
