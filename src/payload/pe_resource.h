// Locates a resource in the bytes of a PE file (32- or 64-bit) without Windows: used by
// the host tool to read the payload of a built installer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace payload {

struct resource_location {
    std::size_t offset;   // in the file
    std::size_t size;
};

// The first language of resource (type, id), both numeric; nullopt when absent or when
// the file is not a well-formed PE image.
std::optional<resource_location> find_pe_resource(const std::vector<unsigned char>& file, std::uint16_t type,
                                                  std::uint16_t id);

} // namespace payload
