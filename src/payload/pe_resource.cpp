#include "payload/pe_resource.h"

namespace payload {

namespace {

struct image {
    const std::vector<unsigned char>& bytes;
    struct section { std::uint32_t va, size, raw, rawSize; };
    std::vector<section> sections;

    bool has(std::size_t offset, std::size_t n) const { return offset <= bytes.size() && n <= bytes.size() - offset; }
    std::uint32_t u32(std::size_t at) const
    {
        return has(at, 4) ? std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
                                std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24
                          : 0;
    }
    std::uint16_t u16(std::size_t at) const { return has(at, 2) ? std::uint16_t(bytes[at] | bytes[at + 1] << 8) : 0; }
    std::optional<std::size_t> file_offset(std::uint32_t rva) const
    {
        for (const auto& s : sections)
            if (rva >= s.va && rva - s.va < std::max(s.size, s.rawSize)) return s.raw + (rva - s.va);
        return std::nullopt;
    }
};

// Finds the entry of a resource directory with the numeric id, or the first entry when
// id is negative; returns its offset field (directory bit included).
std::optional<std::uint32_t> directory_entry(const image& img, std::size_t directory, int id)
{
    if (!img.has(directory, 16)) return std::nullopt;
    unsigned named = img.u16(directory + 12), numbered = img.u16(directory + 14);
    for (unsigned i = 0; i < named + numbered; ++i) {
        std::size_t entry = directory + 16 + 8 * std::size_t(i);
        if (!img.has(entry, 8)) return std::nullopt;
        std::uint32_t name = img.u32(entry);
        if (id < 0 || (!(name & 0x80000000u) && name == std::uint32_t(id))) return img.u32(entry + 4);
    }
    return std::nullopt;
}

} // namespace

std::optional<resource_location> find_pe_resource(const std::vector<unsigned char>& file, std::uint16_t type,
                                                  std::uint16_t id)
{
    image img{file, {}};
    if (!img.has(0, 0x40) || file[0] != 'M' || file[1] != 'Z') return std::nullopt;
    std::size_t pe = img.u32(0x3C);
    if (!img.has(pe, 24) || img.u32(pe) != 0x00004550) return std::nullopt;   // "PE\0\0"
    unsigned sectionCount = img.u16(pe + 6), optionalSize = img.u16(pe + 20);
    std::size_t optional = pe + 24;
    std::uint16_t magic = img.u16(optional);
    std::size_t directories = optional + (magic == 0x20B ? 112 : 96);
    if (!img.has(directories, 24)) return std::nullopt;
    std::uint32_t resourceRva = img.u32(directories + 2 * 8);
    std::size_t table = optional + optionalSize;
    for (unsigned i = 0; i < sectionCount; ++i) {
        std::size_t s = table + 40 * std::size_t(i);
        if (!img.has(s, 40)) return std::nullopt;
        img.sections.push_back({img.u32(s + 12), img.u32(s + 8), img.u32(s + 20), img.u32(s + 16)});
    }
    auto root = img.file_offset(resourceRva);
    if (!resourceRva || !root) return std::nullopt;

    // Three levels: type, name, language; offsets are relative to the resource root.
    std::optional<std::uint32_t> next = directory_entry(img, *root, type);
    for (int level : {int(id), -1}) {
        if (!next || !(*next & 0x80000000u)) return std::nullopt;
        next = directory_entry(img, *root + (*next & 0x7FFFFFFFu), level);
    }
    if (!next || (*next & 0x80000000u)) return std::nullopt;
    std::size_t data = *root + *next;
    if (!img.has(data, 16)) return std::nullopt;
    auto offset = img.file_offset(img.u32(data));
    std::size_t size = img.u32(data + 4);
    if (!offset || !img.has(*offset, size)) return std::nullopt;
    return resource_location{*offset, size};
}

} // namespace payload
