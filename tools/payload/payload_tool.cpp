// Host tool for the payload archive.
//   payload build MANIFEST OUTPUT   write the archive as one bzip2 stream (block size 9)
//   payload list FILE               print the directory
//   payload verify FILE             decompress, check every size and CRC-32, and that
//                                   nothing follows the archive or the bzip2 stream
// FILE is a raw payload or an installer executable carrying it as resource 260/134.
// A manifest line is: source <TAB> destination <TAB> kind; blank lines and lines
// starting with '#' are skipped. Sources are relative to the manifest's folder.
#include "payload/archive_format.h"
#include "payload/crc32.h"
#include "payload/pe_resource.h"
#include <bzlib.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using payload::directory_entry;

namespace {

struct tool_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::u16string utf16(const std::string& s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        char32_t cp;
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) throw tool_error("invalid UTF-8 in '" + s + "'");
        cp = n == 1 ? c : c & (0x7F >> n);
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += n;
    }
    return out;
}

std::string utf8(const std::u16string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size()) cp = 0x10000 + ((cp - 0xD800) << 10) + (s[++i] - 0xDC00);
        auto put = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
        if (cp < 0x80) {
            put(cp);
        } else if (cp < 0x800) {
            put(0xC0 | cp >> 6), put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | cp >> 12), put(0x80 | ((cp >> 6) & 0x3F)), put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | cp >> 18), put(0x80 | ((cp >> 12) & 0x3F)), put(0x80 | ((cp >> 6) & 0x3F)), put(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::vector<unsigned char> read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw tool_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct manifest_line {
    fs::path file;
    directory_entry entry;
};

std::vector<manifest_line> read_manifest(const fs::path& manifest)
{
    std::ifstream in(manifest);
    if (!in) throw tool_error("cannot read manifest " + manifest.string());
    std::vector<manifest_line> lines;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream s(line);
        for (std::string f; std::getline(s, f, '\t');) fields.push_back(f);
        auto where = manifest.string() + ":" + std::to_string(number) + ": ";
        if (fields.size() != 3) throw tool_error(where + "expected source, destination and kind separated by tabs");
        char* end = nullptr;
        unsigned long kind = std::strtoul(fields[2].c_str(), &end, 10);
        if (fields[2].empty() || *end || kind > 0xFFFFFFFFul) throw tool_error(where + "kind '" + fields[2] + "' is not a number");
        manifest_line m;
        m.file = manifest.parent_path() / fields[0];
        if (!fs::is_regular_file(m.file)) throw tool_error(where + "source file " + m.file.string() + " does not exist");
        m.entry.source = utf16(fields[0]);
        m.entry.destination = utf16(fields[1]);
        m.entry.kind = static_cast<std::uint32_t>(kind);
        lines.push_back(std::move(m));
    }
    return lines;
}

class bzip2_writer {
public:
    explicit bzip2_writer(const fs::path& path) : file_(std::fopen(path.string().c_str(), "wb"))
    {
        if (!file_) throw tool_error("cannot write " + path.string());
        int error = BZ_OK;
        bz_ = BZ2_bzWriteOpen(&error, file_, 9, 0, 0);
        if (error != BZ_OK) throw tool_error("bzip2 cannot start: " + std::to_string(error));
    }
    ~bzip2_writer()
    {
        if (bz_) {
            int error;
            BZ2_bzWriteClose(&error, bz_, 1, nullptr, nullptr);
        }
        if (file_) std::fclose(file_);
    }
    void write(const void* data, size_t size)
    {
        int error = BZ_OK;
        BZ2_bzWrite(&error, bz_, const_cast<void*>(data), static_cast<int>(size));
        if (error != BZ_OK) throw tool_error("bzip2 write failed: " + std::to_string(error));
    }
    void close()
    {
        int error = BZ_OK;
        BZ2_bzWriteClose(&error, bz_, 0, nullptr, nullptr);
        bz_ = nullptr;
        if (error != BZ_OK) throw tool_error("bzip2 close failed: " + std::to_string(error));
        if (std::fclose(std::exchange(file_, nullptr)) != 0) throw tool_error("writing the output failed");
    }

private:
    std::FILE* file_;
    BZFILE* bz_ = nullptr;
};

int build(const fs::path& manifest, const fs::path& output)
{
    auto lines = read_manifest(manifest);
    std::vector<directory_entry> entries;
    for (auto& m : lines) {
        auto data = read_file(m.file);
        m.entry.size = data.size();
        m.entry.checksum = payload::crc32_of(data.data(), data.size());
        entries.push_back(m.entry);
    }
    bzip2_writer out(output);
    auto directory = payload::encode_directory(entries);
    out.write(directory.data(), directory.size());
    std::vector<char> buffer(1 << 16);
    for (const auto& m : lines) {
        std::ifstream in(m.file, std::ios::binary);
        while (in.read(buffer.data(), buffer.size()) || in.gcount()) out.write(buffer.data(), static_cast<size_t>(in.gcount()));
    }
    out.close();
    std::cout << "payload: " << entries.size() << " entries, " << payload::archive_total(directory.size(), entries)
              << " bytes, " << fs::file_size(output) << " compressed, in " << output.string() << "\n";
    return 0;
}

// The compressed payload from a raw file or from an executable's resource 260/134.
std::vector<unsigned char> load_compressed(const fs::path& path)
{
    auto data = read_file(path);
    if (data.size() >= 2 && data[0] == 'M' && data[1] == 'Z') {
        auto resource = payload::find_pe_resource(data, 260, 134);
        if (!resource) throw tool_error(path.string() + ": no payload resource (type 260, id 134)");
        return std::vector<unsigned char>(data.begin() + resource->offset, data.begin() + resource->offset + resource->size);
    }
    return data;
}

// Decompresses the whole stream and checks the archive against its directory.
struct verified {
    std::uint64_t directorySize = 0;
    std::vector<directory_entry> entries;
};

verified decompress_and_check(const std::vector<unsigned char>& compressed, const std::string& name)
{
    bz_stream bz{};
    if (BZ2_bzDecompressInit(&bz, 0, 0) != BZ_OK) throw tool_error("bzip2 cannot start");
    struct guard { bz_stream* s; ~guard() { BZ2_bzDecompressEnd(s); } } g{&bz};
    bz.next_in = reinterpret_cast<char*>(const_cast<unsigned char*>(compressed.data()));
    bz.avail_in = static_cast<unsigned>(compressed.size());

    verified v;
    std::vector<unsigned char> header;
    std::uint64_t position = 0, entryStart = 0;
    size_t current = 0;
    payload::crc32 crc;
    auto fail = [&](const std::string& what) { return tool_error(name + ": " + what); };
    auto entry_name = [&](size_t i) {
        return "entry " + std::to_string(i) + " (" + utf8(v.entries[i].source) + ")";
    };
    char out[4096];
    int status = BZ_OK;
    while (status != BZ_STREAM_END) {
        bz.next_out = out;
        bz.avail_out = sizeof(out);
        status = BZ2_bzDecompress(&bz);
        if (status != BZ_OK && status != BZ_STREAM_END) throw fail("bzip2 data error " + std::to_string(status));
        size_t n = sizeof(out) - bz.avail_out;
        if (status == BZ_OK && n == 0 && bz.avail_in == 0) throw fail("bzip2 stream is truncated");
        const unsigned char* p = reinterpret_cast<unsigned char*>(out);
        while (n) {
            if (v.directorySize == 0 || header.size() < v.directorySize) {
                size_t want = header.size() < 8 ? 8 - header.size() : static_cast<size_t>(v.directorySize - header.size());
                size_t k = std::min(n, want);
                header.insert(header.end(), p, p + k);
                p += k, n -= k, position += k;
                try {
                    if (header.size() == 8) v.directorySize = payload::read_directory_size(header.data());
                    if (v.directorySize && header.size() == v.directorySize) {
                        v.entries = payload::decode_directory(header.data(), header.size());
                        payload::archive_total(v.directorySize, v.entries);
                        entryStart = position;
                    }
                } catch (const payload::format_error& e) {
                    throw fail(e.what());
                }
                continue;
            }
            while (current < v.entries.size() && position - entryStart == v.entries[current].size) {
                if (crc.value() != v.entries[current].checksum) throw fail(entry_name(current) + ": CRC-32 mismatch");
                ++current, entryStart = position, crc = payload::crc32();
            }
            if (current >= v.entries.size()) throw fail("data beyond the last entry");
            size_t k = static_cast<size_t>(std::min<std::uint64_t>(n, v.entries[current].size - (position - entryStart)));
            crc.update(p, k);
            p += k, n -= k, position += k;
        }
    }
    if (bz.avail_in != 0) throw fail(std::to_string(bz.avail_in) + " bytes after the end of the bzip2 stream");
    if (v.directorySize == 0 || header.size() < v.directorySize) throw fail("archive ends inside the directory");
    while (current < v.entries.size() && position - entryStart == v.entries[current].size) {
        if (crc.value() != v.entries[current].checksum) throw fail(entry_name(current) + ": CRC-32 mismatch");
        ++current, entryStart = position, crc = payload::crc32();
    }
    if (current < v.entries.size()) throw fail(entry_name(current) + ": data missing at the end");
    return v;
}

int list(const fs::path& file)
{
    verified v = decompress_and_check(load_compressed(file), file.string());
    std::printf("%-5s %-4s %12s %-8s %s\n", "index", "kind", "size", "crc", "destination  source");
    for (size_t i = 0; i < v.entries.size(); ++i) {
        const auto& e = v.entries[i];
        std::printf("%5zu %4u %12llu %08x %s  %s\n", i, e.kind, static_cast<unsigned long long>(e.size), e.checksum,
                    utf8(e.destination).c_str(), utf8(e.source).c_str());
    }
    return 0;
}

int verify(const fs::path& file)
{
    auto compressed = load_compressed(file);
    verified v = decompress_and_check(compressed, file.string());
    std::cout << file.string() << ": ok, " << v.entries.size() << " entries, "
              << payload::archive_total(v.directorySize, v.entries) << " bytes from " << compressed.size() << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        std::string command = argc > 1 ? argv[1] : "";
        if (command == "build" && argc == 4) return build(argv[2], argv[3]);
        if (command == "list" && argc == 3) return list(argv[2]);
        if (command == "verify" && argc == 3) return verify(argv[2]);
        std::cerr << "usage: payload build MANIFEST OUTPUT | payload list FILE | payload verify FILE\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "payload: " << e.what() << "\n";
        return 1;
    }
}
