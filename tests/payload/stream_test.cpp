#include "archive_fixture.h"
#include "payload/payload_stream.h"
#include <gtest/gtest.h>

namespace {

std::string good_payload() { return test::compress(test::raw_archive({{u"a.txt", u"<InstallPath>", 0, "hello"}})); }

bool verify(const std::string& bytes)
{
    payload::payload_stream stream(bytes.data(), bytes.size());
    return payload::VerifyPayload(stream);
}

TEST(VerifyPayload, AcceptsAWholeStreamAndRewinds)
{
    std::string bytes = good_payload();
    payload::payload_stream stream(bytes.data(), bytes.size());
    ASSERT_TRUE(payload::VerifyPayload(stream));
    EXPECT_EQ(stream.tellg(), 0);
    EXPECT_TRUE(payload::VerifyPayload(stream)) << "a second pass reads from the start again";
}

TEST(VerifyPayload, RejectsDamagedStreams)
{
    std::string good = good_payload();
    // Some bits of a bzip2 stream do not change its output (the final padding, parts of the
    // table headers); a byte of the block magic always counts.
    std::string flipped = good;
    flipped[6] ^= 0x04;
    struct damaged_case { const char* name; std::string bytes; };
    const damaged_case cases[] = {
        {"empty (resource missing)", ""},
        {"truncated", good.substr(0, good.size() - 4)},
        {"byte appended", good + '\0'},
        {"block magic damaged", flipped},
        {"not bzip2", "plain text, not a payload"},
    };
    for (const auto& c : cases) EXPECT_FALSE(verify(c.bytes)) << c.name;
}

TEST(OpenPayload, TestProgramHasNoPayloadResource)
{
    auto stream = payload::OpenPayload();
    ASSERT_TRUE(stream);
    EXPECT_FALSE(payload::VerifyPayload(*stream));
}

TEST(MemoryStream, SeeksWithinItsBytesOnly)
{
    const char data[] = "0123456789";
    payload::payload_stream s(data, 10);
    s.seekg(4);
    EXPECT_EQ(s.get(), '4');
    s.seekg(-1, std::ios::end);
    EXPECT_EQ(s.get(), '9');
    s.seekg(11);
    EXPECT_TRUE(s.fail());
}

} // namespace
