#include "payload/archive_format.h"
#include <gtest/gtest.h>

namespace {

using payload::directory_entry;

std::vector<directory_entry> sample()
{
    return {
        {u"C:\\build\\DSETUP.dll", u"<Temporary>", 5, 1234, 0xDEADBEEF},
        {u"C:\\build\\Tavrelle.exe", u"<InstallPath>", 1, 0, 0},
        {u"x", u"<CommonData>\\Varnholt\\Mat\u00E9riaux", 3, 0x1'0000'0000ull, 7},
    };
}

TEST(ArchiveDirectory, RoundTripKeepsEveryField)
{
    auto bytes = payload::encode_directory(sample());
    ASSERT_EQ(payload::read_directory_size(bytes.data()), bytes.size());
    auto entries = payload::decode_directory(bytes.data(), bytes.size());
    ASSERT_EQ(entries.size(), 3u);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].source, sample()[i].source);
        EXPECT_EQ(entries[i].destination, sample()[i].destination);
        EXPECT_EQ(entries[i].kind, sample()[i].kind);
        EXPECT_EQ(entries[i].size, sample()[i].size);
        EXPECT_EQ(entries[i].checksum, sample()[i].checksum);
    }
    EXPECT_EQ(payload::archive_total(bytes.size(), entries), bytes.size() + 1234 + 0x1'0000'0000ull);
}

TEST(ArchiveDirectory, LayoutIsLittleEndianWithCountedUtf16)
{
    auto bytes = payload::encode_directory({{u"ab", u"<X>", 2, 5, 0x01020304}});
    const std::vector<unsigned char> expected = {
        46, 0, 0, 0, 0, 0, 0, 0,   // directory size: 12 + (4 + 4) + (4 + 6) + 4 + 8 + 4
        1, 0, 0, 0,                // count
        2, 0, 0, 0, 'a', 0, 'b', 0,
        3, 0, 0, 0, '<', 0, 'X', 0, '>', 0,
        2, 0, 0, 0,
        5, 0, 0, 0, 0, 0, 0, 0,
        4, 3, 2, 1,
    };
    EXPECT_EQ(bytes, expected);
}

TEST(ArchiveDirectory, EmptyDirectoryIsTwelveBytes)
{
    auto bytes = payload::encode_directory({});
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_TRUE(payload::decode_directory(bytes.data(), bytes.size()).empty());
    EXPECT_EQ(payload::archive_total(12, {}), 12u);
}

TEST(ArchiveDirectory, SizeOutsideTheAcceptedRangeIsRejected)
{
    struct size_case { std::uint64_t size; bool accepted; };
    const size_case cases[] = {{0, false}, {11, false}, {12, true}, {13298, true},
                               {0xFFFFFFFFull, true}, {0x100000000ull, false}, {~0ull, false}};
    for (const auto& c : cases) {
        unsigned char field[8];
        for (int i = 0; i < 8; ++i) field[i] = static_cast<unsigned char>(c.size >> (8 * i));
        if (c.accepted) {
            EXPECT_EQ(payload::read_directory_size(field), c.size);
        } else {
            EXPECT_THROW(payload::read_directory_size(field), payload::format_error) << c.size;
        }
    }
}

TEST(ArchiveDirectory, DamagedDirectoriesAreRejected)
{
    auto good = payload::encode_directory(sample());
    auto with = [&](size_t at, unsigned char value) {
        auto b = good;
        b[at] = value;
        return b;
    };
    const std::vector<std::vector<unsigned char>> damaged = {
        with(8, 4),                                              // count larger than the entries
        with(8, 0xFF),                                           // count far beyond the directory
        with(12, 0xFF),                                          // first source length too long
        with(0, static_cast<unsigned char>(good.size() + 1)),    // size field disagrees
        std::vector<unsigned char>(good.begin(), good.end() - 1),
    };
    for (size_t i = 0; i < damaged.size(); ++i)
        EXPECT_THROW(payload::decode_directory(damaged[i].data(), damaged[i].size()), payload::format_error) << i;
}

TEST(ArchiveDirectory, BytesAfterTheLastEntryAreLeftAlone)
{
    auto bytes = payload::encode_directory(sample());
    bytes.insert(bytes.end(), {0, 0, 0});
    bytes[0] = static_cast<unsigned char>(bytes.size());
    bytes[1] = static_cast<unsigned char>(bytes.size() >> 8);
    EXPECT_EQ(payload::decode_directory(bytes.data(), bytes.size()).size(), 3u);
}

TEST(ArchiveDirectory, TotalOverflowIsRejected)
{
    std::vector<directory_entry> entries = {{u"a", u"", 0, ~0ull - 5, 0}};
    EXPECT_THROW(payload::archive_total(12, entries), payload::format_error);
}

} // namespace
