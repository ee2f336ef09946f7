// Archives made in the test: directory, data, bzip2 compression, and a private folder.
#pragma once
#include "../test_support.h"
#include "payload/archive_format.h"
#include "payload/crc32.h"
#include <bzlib.h>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

struct file_spec {
    std::u16string source;
    std::u16string destination;
    std::uint32_t kind;
    std::string data;
};

inline std::string raw_archive(const std::vector<file_spec>& files)
{
    std::vector<payload::directory_entry> entries;
    for (const auto& f : files)
        entries.push_back({f.source, f.destination, f.kind, f.data.size(), payload::crc32_of(f.data.data(), f.data.size())});
    auto directory = payload::encode_directory(entries);
    std::string raw(directory.begin(), directory.end());
    for (const auto& f : files) raw += f.data;
    return raw;
}

inline std::string compress(const std::string& raw)
{
    std::vector<char> out(raw.size() + raw.size() / 100 + 1024);
    unsigned int size = static_cast<unsigned int>(out.size());
    if (BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(raw.data()), static_cast<unsigned>(raw.size()), 9, 0, 0) != BZ_OK)
        return {};
    return std::string(out.data(), size);
}

// A fresh folder below the test program's folder, removed afterwards.
class scratch_folder {
public:
    explicit scratch_folder(const std::wstring& name) : path_(program_folder() + L"scratch-" + name)
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~scratch_folder()
    {
        std::error_code ignored;
        for (auto& p : std::filesystem::recursive_directory_iterator(path_, ignored))
            ::SetFileAttributesW(p.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string read_all(const std::filesystem::path& p)
{
    std::string s;
    HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &n, nullptr) && n) s.append(buffer, n);
    ::CloseHandle(h);
    return s;
}

} // namespace test
