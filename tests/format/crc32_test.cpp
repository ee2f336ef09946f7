#include "payload/crc32.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(Crc32, KnownValues)
{
    struct crc_case { std::string data; std::uint32_t crc; };
    const crc_case cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},   // the check value of CRC-32/ISO-HDLC
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& c : cases) EXPECT_EQ(payload::crc32_of(c.data.data(), c.data.size()), c.crc) << c.data;
}

TEST(Crc32, PiecewiseEqualsWhole)
{
    std::vector<unsigned char> data(10007);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 131 + (i >> 7));
    std::uint32_t whole = payload::crc32_of(data.data(), data.size());
    for (size_t piece : {1u, 3u, 7u, 8u, 9u, 4096u}) {
        payload::crc32 c;
        for (size_t at = 0; at < data.size(); at += piece) c.update(data.data() + at, std::min(piece, data.size() - at));
        EXPECT_EQ(c.value(), whole) << "pieces of " << piece;
    }
}

} // namespace
