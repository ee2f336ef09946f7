// The decompressed payload archive: a directory (its own size, the entry count, the
// entries) followed by every entry's data in directory order. Little-endian integers;
// strings are UTF-16LE with a length in code units and no terminator. Free of Windows
// headers so the host tool and native fuzzers use the same code.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace payload {

enum class EntryKind : std::uint32_t {
    ProgramFile = 0,
    MainExecutable = 1,
    Uninstaller = 2,
    SharedData = 3,
    OptionalContent = 4,
    TemporaryFile = 5,
};

struct directory_entry {
    std::u16string source;
    std::u16string destination;
    std::uint32_t kind = 0;
    std::uint64_t size = 0;
    std::uint32_t checksum = 0;
};

// Bytes of the directory-size field and of the entry count before the entries.
constexpr std::uint64_t directory_header_size = 12;
// The largest directory accepted: the format leaves sizes of 4 GiB and more undefined.
constexpr std::uint64_t max_directory_size = 0xFFFFFFFFu;

// The directory does not fit its own size field or the bytes it claims.
struct format_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<unsigned char> encode_directory(const std::vector<directory_entry>& entries);

// The directory size from the first 8 bytes; format_error outside 12 .. 4 GiB - 1.
std::uint64_t read_directory_size(const unsigned char* first8);

// The entries from exactly directory-size bytes (including the size field); format_error
// when a field runs past the end. Bytes after the last entry are left alone.
std::vector<directory_entry> decode_directory(const unsigned char* data, std::size_t size);

// Directory size plus all entry sizes, or format_error when that overflows.
std::uint64_t archive_total(std::uint64_t directorySize, const std::vector<directory_entry>& entries);

} // namespace payload
