#include "payload/crc32.h"
#include <array>

namespace payload {

namespace {

// Eight tables for slicing-by-8: the checksum runs over every byte of the payload twice.
using tables_t = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr tables_t make_tables()
{
    tables_t t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

constexpr tables_t tables = make_tables();

} // namespace

void crc32::update(const void* data, std::size_t size) noexcept
{
    auto p = static_cast<const unsigned char*>(data);
    std::uint32_t c = state_;
    while (size >= 8) {
        std::uint32_t lo = c ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                std::uint32_t(p[3]) << 24);
        std::uint32_t hi = std::uint32_t(p[4]) | std::uint32_t(p[5]) << 8 | std::uint32_t(p[6]) << 16 |
                           std::uint32_t(p[7]) << 24;
        c = tables[7][lo & 0xFF] ^ tables[6][(lo >> 8) & 0xFF] ^ tables[5][(lo >> 16) & 0xFF] ^ tables[4][lo >> 24] ^
            tables[3][hi & 0xFF] ^ tables[2][(hi >> 8) & 0xFF] ^ tables[1][(hi >> 16) & 0xFF] ^ tables[0][hi >> 24];
        p += 8;
        size -= 8;
    }
    while (size--) c = tables[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    state_ = c;
}

} // namespace payload
