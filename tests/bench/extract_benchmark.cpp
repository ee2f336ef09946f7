// Times VerifyPayload and ExtractPayload of a payload file (loaded into memory, as the
// installer's mapped resource is) and prints the figures on one line.
// Usage: extract_benchmark PAYLOAD_FILE OUTPUT_FOLDER
#include "payload/extract.h"
#include "payload/payload_stream.h"
#include <windows.h>
#include <psapi.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {
double seconds_since(LARGE_INTEGER start)
{
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: extract_benchmark PAYLOAD_FILE OUTPUT_FOLDER\n");
        return 2;
    }
    // Read at the file's exact size, so the harness adds no slack to the peak memory.
    std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
    std::vector<char> bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::filesystem::path out = argv[2];
    std::filesystem::remove_all(out);

    payload::payload_stream stream(bytes.data(), bytes.size());
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    if (!payload::VerifyPayload(stream)) {
        std::fprintf(stderr, "verification failed\n");
        return 1;
    }
    double verify = seconds_since(start);

    std::uint64_t total = 0;
    payload::extraction_inputs inputs;
    inputs.destinations = {out / L"Install", L"Examples", out / L"Temp", [&](int) { return (out / L"Common").native(); }};
    payload::extraction_handler handler = [&](const payload::notification& n) {
        if (auto* p = std::get_if<payload::notification::Progress>(&n.value)) total = p->total;
        return payload::notification::result::Continue;
    };
    ::QueryPerformanceCounter(&start);
    bool ok = payload::ExtractPayload(stream, inputs, handler);
    double extract = seconds_since(start);
    if (!ok) {
        std::fprintf(stderr, "extraction failed\n");
        return 1;
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("compressed=%zu decompressed=%llu verify_s=%.3f extract_s=%.3f peak_working_set_mb=%.1f "
                "peak_private_mb=%.1f\n",
                bytes.size(), static_cast<unsigned long long>(total), verify, extract,
                memory.PeakWorkingSetSize / 1048576.0, memory.PeakPagefileUsage / 1048576.0);
    std::filesystem::remove_all(out);
    return 0;
}
