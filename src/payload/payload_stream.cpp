#include "payload/payload_stream.h"
#include <windows.h>
#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/device/null.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_streambuf.hpp>

namespace payload {

std::unique_ptr<payload_stream> OpenPayload()
{
    // The program keeps its localised resources in the executable itself.
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(resource_id), MAKEINTRESOURCEW(resource_type));
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    DWORD size = info ? ::SizeofResource(module, info) : 0;
    const void* data = loaded && size ? ::LockResource(loaded) : nullptr;
    if (!data) return std::make_unique<payload_stream>();
    return std::make_unique<payload_stream>(static_cast<const char*>(data), size);
}

bool VerifyPayload(std::istream& stream)
{
    try {
        namespace io = boost::iostreams;
        io::filtering_streambuf<io::input> chain;
        chain.push(io::bzip2_decompressor(), block_size);
        chain.push(stream, block_size);
        io::copy(chain, io::null_sink(), block_size);
    } catch (const std::exception&) {
        return false;
    }
    if (!stream.good() && !stream.eof()) return false;
    stream.clear();
    if (stream.peek() != std::char_traits<char>::eof()) return false;
    stream.clear();
    stream.seekg(0);
    return static_cast<bool>(stream);
}

} // namespace payload
