#include "support/version_info.h"
#include "support/language.h"
#include <cstdio>

namespace vh {

namespace {

struct own_resource {
    const void* block = nullptr;
    std::uint32_t size = 0;
};

own_resource locate_own_resource()
{
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(self, MAKEINTRESOURCEW(1), RT_VERSION);
    HGLOBAL loaded = info ? ::LoadResource(self, info) : nullptr;
    DWORD size = info ? ::SizeofResource(self, info) : 0;
    const void* block = loaded ? ::LockResource(loaded) : nullptr;
    if (!block || !size) return {};
    return {block, size};
}

} // namespace

version_info::version_info(std::vector<BYTE> buffer, const void* block, std::uint32_t size)
    : buffer_(std::move(buffer)), block_(block), size_(size)
{
    if (buffer_.size()) block_ = buffer_.data();
    if (!size_ || !block_) return;
    void* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block_, L"\\", &fixed, &length) || !fixed) return;
    fixed_ = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    void* pairs = nullptr;
    if (!::VerQueryValueW(block_, L"\\VarFileInfo\\Translation", &pairs, &length) || !pairs) return;
    auto words = static_cast<const WORD*>(pairs);
    for (UINT i = 0; i < length / 4; ++i) {
        if (words[2 * i + 1] != 1200) continue;   // only Unicode string tables are used
        wchar_t text[9];
        std::swprintf(text, 9, L"%04hx%04hx", words[2 * i], words[2 * i + 1]);
        translations_.emplace_back(text);
    }
}

version_info version_info::from_own_resource()
{
    static const own_resource located = locate_own_resource();   // thread-safe first use
    return version_info({}, located.block, located.size);
}

version_info version_info::from_file(const std::wstring& path)
{
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (!size) return version_info({}, nullptr, 0);
    std::vector<BYTE> buffer(size, 0);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, buffer.data())) return version_info({}, nullptr, 0);
    return version_info(std::move(buffer), nullptr, size);
}

std::uint64_t version_info::packed_version() const
{
    if (!fixed_) return 0;
    return (std::uint64_t(fixed_->dwFileVersionMS) << 32) | fixed_->dwFileVersionLS;
}

std::wstring version_info::string_value(const wchar_t* key) const
{
    if (!size_ || translations_.empty()) return {};
    std::wstring query = L"\\StringFileInfo\\" + translations_.front() + L"\\" + key;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block_, query.c_str(), &value, &length) || !value || length == 0) return {};
    std::wstring text(static_cast<const wchar_t*>(value), length);
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

bool version_info::flag_set(DWORD flag) const
{
    return fixed_ && (fixed_->dwFileFlags & fixed_->dwFileFlagsMask & flag);
}

std::wstring version_info::display_version() const
{
    std::wstring t = display_name();
    std::wstring v = string_value(L"ProductVersion");
    if (!v.empty()) t += L" " + v;
    if (flag_set(VS_FF_PRERELEASE) && PRIMARYLANGID(LANGIDFROMLCID(current_language().localeId)) != LANG_FRENCH) {
        auto at = t.rfind(L"b\u00EAta");
        if (at != std::wstring::npos) t.replace(at, 4, L"beta");
    }
    if (flag_set(VS_FF_PRIVATEBUILD)) t += L" \u2013 Private";
    if (flag_set(VS_FF_DEBUG)) t += L" \u2013 Debug";
    return t;
}

std::wstring packed_version_text(std::uint64_t v)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%u.%u.%u.%u", unsigned(v >> 48), unsigned(v >> 32) & 0xFFFF,
                  unsigned(v >> 16) & 0xFFFF, unsigned(v) & 0xFFFF);
    return text;
}

} // namespace vh
