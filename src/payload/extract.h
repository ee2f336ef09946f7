// The extraction engine: one streaming pass over the decompressed archive that writes
// every file, checks its CRC-32 and reports each step to a handler.
#pragma once
#include "payload/archive_format.h"
#include "payload/destination.h"
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <system_error>
#include <variant>

namespace payload {

// The in-memory form of a directory entry; after the directory is read, destination is
// the full path of the file to write.
struct PayloadEntry {
    std::filesystem::path source;
    std::filesystem::path destination;
    std::int32_t kind = 0;
    std::uint64_t size = 0;
    std::uint32_t checksum = 0;
};

enum class compress_error {
    invalid_checksum = 3,
    unknown = 4,
    interrupted = 5,
    bzip2 = 6,
    unexpected = 7,
};

const std::error_category& compress_category();
std::error_code make_error_code(compress_error e);

struct notification {
    enum class result { Continue = 0, Abort = 1, Skip = 2 };

    struct Started { bool unused = false; };
    struct Finished { std::uint64_t compressedBytes, total; };
    struct FileBegin { PayloadEntry* entry; };
    struct FileEnd { PayloadEntry* entry; };
    struct Progress { std::uint64_t processed, total; };
    struct Failed { std::error_code code; std::filesystem::path path; };

    std::variant<Started, Finished, FileBegin, FileEnd, Progress, Failed> value;
};

using extraction_handler = std::function<notification::result(const notification&)>;

// Grants the built-in Users group rights on a path (access mask, ACE flags).
using grant_function = std::function<void(const std::filesystem::path&, unsigned long mask, unsigned char flags)>;

struct extraction_inputs {
    destination_inputs destinations;
    grant_function grant;   // empty: no rights are granted
};

// True when every entry was processed and the processed amount equals the total; false
// after a failure, which has been reported with Failed. Files written stay on disk.
bool ExtractPayload(std::istream& payload, const extraction_inputs& inputs, const extraction_handler& handler);

} // namespace payload

template <>
struct std::is_error_code_enum<payload::compress_error> : std::true_type {};
