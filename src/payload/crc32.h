// The standard reflected CRC-32 (polynomial 0x04C11DB7, initial value and final complement
// 0xFFFFFFFF), as zip and zlib use it. Free of Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>

namespace payload {

class crc32 {
public:
    void update(const void* data, std::size_t size) noexcept;
    std::uint32_t value() const noexcept { return ~state_; }

private:
    std::uint32_t state_ = 0xFFFFFFFFu;
};

inline std::uint32_t crc32_of(const void* data, std::size_t size) noexcept
{
    crc32 c;
    c.update(data, size);
    return c.value();
}

} // namespace payload
