// The payload resource as a stream, and its verification by a full decompression.
#pragma once
#include "support/membuf.h"
#include <istream>
#include <memory>

namespace payload {

constexpr unsigned short resource_type = 260;
constexpr unsigned short resource_id = 134;
constexpr std::size_t block_size = 4096;

// An input stream over bytes in memory (the mapped resource), without copying them.
class payload_stream : public std::istream {
public:
    payload_stream(const char* data, std::size_t size) : std::istream(nullptr), buffer_(data, size)
    {
        rdbuf(&buffer_);
    }
    payload_stream() : payload_stream(nullptr, 0) {}
    payload_stream(const payload_stream&) = delete;
    payload_stream& operator=(const payload_stream&) = delete;

private:
    vh::membuf buffer_;
};

// The payload resource of the program (an empty stream when it is missing or unreadable).
std::unique_ptr<payload_stream> OpenPayload();

// Decompresses the whole stream, discarding the output; true only when nothing failed and
// the stream ends exactly with the bzip2 stream. Rewinds the stream on success.
bool VerifyPayload(std::istream& stream);

} // namespace payload
