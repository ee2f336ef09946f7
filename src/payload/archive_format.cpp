#include "payload/archive_format.h"
#include <cstring>

namespace payload {

namespace {

void put(std::vector<unsigned char>& out, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void put_string(std::vector<unsigned char>& out, const std::u16string& s)
{
    put(out, s.size(), 4);
    for (char16_t c : s) put(out, c, 2);
}

class reader {
public:
    reader(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}
    std::uint64_t take(int width)
    {
        need(static_cast<std::size_t>(width));
        std::uint64_t v = 0;
        for (int i = 0; i < width; ++i) v |= std::uint64_t(p_[i]) << (8 * i);
        p_ += width;
        return v;
    }
    std::u16string take_string()
    {
        std::uint64_t length = take(4);
        if (length > remaining() / 2) throw format_error("payload directory: string runs past the directory");
        std::u16string s(static_cast<std::size_t>(length), u'\0');
        for (auto& c : s) c = static_cast<char16_t>(take(2));
        return s;
    }
    std::size_t remaining() const { return static_cast<std::size_t>(end_ - p_); }

private:
    void need(std::size_t n)
    {
        if (remaining() < n) throw format_error("payload directory: entry runs past the directory");
    }
    const unsigned char* p_;
    const unsigned char* end_;
};

// Smallest encoded entry: two empty strings, kind, size and checksum.
constexpr std::size_t min_entry_size = 4 + 4 + 4 + 8 + 4;

} // namespace

std::vector<unsigned char> encode_directory(const std::vector<directory_entry>& entries)
{
    std::vector<unsigned char> out;
    put(out, 0, 8);   // the size, filled in below
    put(out, entries.size(), 4);
    for (const auto& e : entries) {
        put_string(out, e.source);
        put_string(out, e.destination);
        put(out, e.kind, 4);
        put(out, e.size, 8);
        put(out, e.checksum, 4);
    }
    std::uint64_t size = out.size();
    for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(size >> (8 * i));
    return out;
}

std::uint64_t read_directory_size(const unsigned char* first8)
{
    std::uint64_t size = reader(first8, 8).take(8);
    if (size < directory_header_size || size > max_directory_size)
        throw format_error("payload directory: size " + std::to_string(size) + " is out of range");
    return size;
}

std::vector<directory_entry> decode_directory(const unsigned char* data, std::size_t size)
{
    reader r(data, size);
    if (r.take(8) != size) throw format_error("payload directory: size field does not match");
    std::uint64_t count = r.take(4);
    if (count > r.remaining() / min_entry_size) throw format_error("payload directory: entry count exceeds the directory");
    std::vector<directory_entry> entries(static_cast<std::size_t>(count));
    for (auto& e : entries) {
        e.source = r.take_string();
        e.destination = r.take_string();
        e.kind = static_cast<std::uint32_t>(r.take(4));
        e.size = r.take(8);
        e.checksum = static_cast<std::uint32_t>(r.take(4));
    }
    return entries;
}

std::uint64_t archive_total(std::uint64_t directorySize, const std::vector<directory_entry>& entries)
{
    std::uint64_t total = directorySize;
    for (const auto& e : entries) {
        if (e.size > UINT64_MAX - total) throw format_error("payload directory: sizes overflow");
        total += e.size;
    }
    return total;
}

} // namespace payload
