#include "archive_fixture.h"
#include "payload/extract.h"
#include "payload/payload_stream.h"
#include <gtest/gtest.h>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;
using payload::notification;
using result = notification::result;

// Records every notification; answers through a function of the notification.
struct recorder {
    std::vector<std::string> events;
    std::vector<std::uint64_t> progress;
    std::error_code failure;
    fs::path failedPath;
    std::uint64_t total = 0;
    std::function<result(const notification&)> answer = [](const notification&) { return result::Continue; };

    payload::extraction_handler handler()
    {
        return [this](const notification& n) {
            std::visit([this](const auto& v) { record(v); }, n.value);
            return answer(n);
        };
    }
    void record(const notification::Started&) { events.push_back("Started"); }
    void record(const notification::Finished& f) { events.push_back("Finished"); total = f.total; }
    void record(const notification::FileBegin& f) { events.push_back("Begin " + f.entry->destination.filename().string()); }
    void record(const notification::FileEnd& f) { events.push_back("End " + f.entry->destination.filename().string()); }
    void record(const notification::Progress& p) { progress.push_back(p.processed); total = p.total; }
    void record(const notification::Failed& f)
    {
        events.push_back("Failed");
        failure = f.code;
        failedPath = f.path;
    }
};

class Extraction : public ::testing::Test {
protected:
    test::scratch_folder folder{L"extract"};
    fs::path install() const { return folder.path() / L"App"; }

    payload::extraction_inputs inputs()
    {
        payload::extraction_inputs in;
        in.destinations = {install(), L"Examples", folder.path() / L"Temp",
                           [this](int) { return (folder.path() / L"Common").native(); }};
        in.grant = [this](const fs::path& p, unsigned long mask, unsigned char flags) {
            grants.push_back(p.lexically_relative(folder.path()).native() + L" " + std::to_wstring(mask) + L"/" +
                             std::to_wstring(flags));
        };
        return in;
    }

    bool extract(const std::string& compressed)
    {
        payload::payload_stream stream(compressed.data(), compressed.size());
        return payload::ExtractPayload(stream, inputs(), record.handler());
    }

    recorder record;
    std::vector<std::wstring> grants;
};

const std::vector<test::file_spec> three_files = {
    {u"build\\one.txt", u"<InstallPath>", 0, "first file"},
    {u"build\\two.bin", u"<InstallPath>\\Lang", 0, std::string(10000, 'x')},
    {u"three.dat", u"<Temporary>", 5, "temp"},
};

TEST_F(Extraction, WritesEveryFileWithNotificationsInOrder)
{
    ASSERT_TRUE(extract(test::compress(test::raw_archive(three_files))));
    EXPECT_EQ(record.events, (std::vector<std::string>{"Started", "Begin one.txt", "End one.txt", "Begin two.bin",
                                                       "End two.bin", "Begin three.dat", "End three.dat", "Finished"}));
    EXPECT_EQ(test::read_all(install() / L"one.txt"), "first file");
    EXPECT_EQ(test::read_all(install() / L"Lang" / L"two.bin"), std::string(10000, 'x'));
    EXPECT_EQ(test::read_all(folder.path() / L"Temp" / L"three.dat"), "temp");
    ASSERT_FALSE(record.progress.empty());
    EXPECT_EQ(record.progress.back(), record.total);
    EXPECT_TRUE(std::is_sorted(record.progress.begin(), record.progress.end()));
}

TEST_F(Extraction, ZeroEntriesLeaveATotalOfTwelve)
{
    ASSERT_TRUE(extract(test::compress(test::raw_archive({}))));
    EXPECT_EQ(record.total, 12u);
    EXPECT_EQ(record.events, (std::vector<std::string>{"Started", "Finished"}));
}

TEST_F(Extraction, ZeroSizeEntriesAreCreatedWhereverTheyStand)
{
    std::vector<test::file_spec> files = {
        {u"empty-first", u"<InstallPath>", 0, ""},
        {u"middle", u"<InstallPath>", 0, "data"},
        {u"empty-middle", u"<InstallPath>", 0, ""},
        {u"empty-last", u"<InstallPath>\\Sub", 0, ""},
    };
    ASSERT_TRUE(extract(test::compress(test::raw_archive(files))));
    for (const wchar_t* name : {L"empty-first", L"empty-middle", L"Sub\\empty-last"})
        EXPECT_EQ(test::read_all(install() / name), "") << fs::path(name).string();
    EXPECT_EQ(record.events.back(), "Finished");
    EXPECT_EQ(std::count_if(record.events.begin(), record.events.end(), [](auto& e) { return e.rfind("End", 0) == 0; }), 4);
}

TEST_F(Extraction, SkippingEveryEntryWritesNothingAndStillReachesTheTotal)
{
    record.answer = [](const notification& n) {
        return std::holds_alternative<notification::FileBegin>(n.value) ? result::Skip : result::Continue;
    };
    ASSERT_TRUE(extract(test::compress(test::raw_archive(three_files))));
    EXPECT_FALSE(fs::exists(install()));
    for (const auto& e : record.events) EXPECT_NE(e.rfind("End", 0), 0u) << "no FileEnd for skipped files";
    EXPECT_EQ(record.progress.back(), record.total);
}

struct failing_archive {
    const char* name;
    std::function<std::string()> make;
    int code;
};

class DamagedArchive : public Extraction, public ::testing::WithParamInterface<failing_archive> {};

TEST_P(DamagedArchive, FailsWithTheCompressError)
{
    EXPECT_FALSE(extract(GetParam().make()));
    ASSERT_FALSE(record.events.empty());
    EXPECT_EQ(record.events.back(), "Failed");
    EXPECT_EQ(record.failure, std::error_code(GetParam().code, payload::compress_category()))
        << record.failure.category().name() << " " << record.failure.value();
}

INSTANTIATE_TEST_SUITE_P(Archives, DamagedArchive, ::testing::Values(
    failing_archive{"OneByteTooMany", [] { return test::compress(test::raw_archive(three_files) + "!"); }, 7},
    failing_archive{"OneByteTooFew", [] {
        std::string raw = test::raw_archive(three_files);
        return test::compress(raw.substr(0, raw.size() - 1));
    }, 7},
    failing_archive{"DirectorySizeBelowTwelve", [] {
        std::string raw = test::raw_archive({});
        raw[0] = 8;
        return test::compress(raw);
    }, 7},
    failing_archive{"CountBeyondTheDirectory", [] {
        std::string raw = test::raw_archive(three_files);
        raw[8] = 9;
        return test::compress(raw);
    }, 7},
    failing_archive{"ChecksumMismatch", [] {
        std::string raw = test::raw_archive(three_files);
        raw[raw.size() - 1] ^= 1;   // last byte of the last file
        return test::compress(raw);
    }, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Extraction, CorruptBlockIsError6AndWritesNothing)
{
    // Damage the block header: bzip2 reports it before handing out any byte. (Damage
    // inside a block shows only at the block's checksum, after its bytes went out; the
    // installer verifies the whole payload before extracting for that reason.)
    std::string compressed = test::compress(test::raw_archive(three_files));
    compressed[6] ^= 0x10;
    EXPECT_FALSE(extract(compressed));
    EXPECT_EQ(record.failure, payload::make_error_code(payload::compress_error::bzip2));
    EXPECT_FALSE(fs::exists(install()));
}

TEST_F(Extraction, AbortOnProgressIsError5)
{
    record.answer = [](const notification& n) {
        return std::holds_alternative<notification::Progress>(n.value) ? result::Abort : result::Continue;
    };
    EXPECT_FALSE(extract(test::compress(test::raw_archive(three_files))));
    EXPECT_EQ(record.failure, payload::make_error_code(payload::compress_error::interrupted));
}

TEST_F(Extraction, ReadOnlyTargetIsOverwrittenAfterItsAttributeIsCleared)
{
    fs::create_directories(install());
    fs::path target = install() / L"one.txt";
    { HANDLE h = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr); ::CloseHandle(h); }
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    DWORD seenAtBegin = 0;
    record.answer = [&](const notification& n) {
        if (std::holds_alternative<notification::FileEnd>(n.value) && seenAtBegin == 0)
            seenAtBegin = ::GetFileAttributesW(target.c_str());
        return result::Continue;
    };
    ASSERT_TRUE(extract(test::compress(test::raw_archive(three_files))));
    EXPECT_EQ(test::read_all(target), "first file");
    // As root, Wine lets anyone write a read-only file: check the attribute, not a refusal.
    EXPECT_EQ(seenAtBegin & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(Extraction, TargetHeldOpenForWritingIsSharingViolation)
{
    fs::create_directories(install() / L"Lang");
    fs::path held = install() / L"Lang" / L"two.bin";
    HANDLE h = ::CreateFileW(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(extract(test::compress(test::raw_archive(three_files))));
    ::CloseHandle(h);
    EXPECT_EQ(record.failure, std::error_code(ERROR_SHARING_VIOLATION, std::system_category()));
    EXPECT_EQ(record.failedPath, held);
    EXPECT_EQ(test::read_all(install() / L"one.txt"), "first file") << "files before the failure stay on disk";
}

// A program that opens the new file without read sharing just before its checksum is
// read (during the file's last Progress): the read is retried 3 times, 1 second apart.
struct checksum_holder_case {
    const char* name;
    DWORD releaseAfterMs;   // INFINITE: never within the run
    bool succeeds;
};

class ChecksumReadHeld : public Extraction, public ::testing::WithParamInterface<checksum_holder_case> {};

TEST_P(ChecksumReadHeld, IsRetriedThenFails)
{
    HANDLE holder = INVALID_HANDLE_VALUE;
    std::thread release;
    fs::path target = install() / L"one.txt";
    record.answer = [&](const notification& n) {
        auto* p = std::get_if<notification::Progress>(&n.value);
        if (p && holder == INVALID_HANDLE_VALUE && fs::exists(target)) {
            holder = ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            if (GetParam().releaseAfterMs != INFINITE)
                release = std::thread([&, ms = GetParam().releaseAfterMs] { ::Sleep(ms); ::CloseHandle(holder); });
        }
        return result::Continue;
    };
    DWORD start = ::GetTickCount();
    bool ok = extract(test::compress(test::raw_archive({three_files[0]})));
    DWORD elapsed = ::GetTickCount() - start;
    if (release.joinable()) release.join();
    else if (holder != INVALID_HANDLE_VALUE) ::CloseHandle(holder);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ok, GetParam().succeeds);
    if (!GetParam().succeeds) {
        EXPECT_EQ(record.failure, std::error_code(ERROR_SHARING_VIOLATION, std::system_category()));
        EXPECT_GE(elapsed, 2900u) << "three retries, one second apart";
    }
}

INSTANTIATE_TEST_SUITE_P(Holders, ChecksumReadHeld, ::testing::Values(
    checksum_holder_case{"NeverReleased", INFINITE, false},
    checksum_holder_case{"ReleasedAfterOneAndAHalfSeconds", 1500, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Extraction, SharedFoldersGetTheUsersRightsOnceAtTheirFirstFile)
{
    std::vector<test::file_spec> files = {
        {u"a.jpg", u"<CommonData>\\Varnholt\\Textures\\Tavrelle 7", 4, "a"},
        {u"b.jpg", u"<CommonData>\\Varnholt\\Textures\\Tavrelle 7", 4, "b"},
        {u"c.mat", u"<CommonData>\\Varnholt\\Materials", 3, "c"},
        {u"d.tv-proj", u"<SamplePath>", 4, "d"},
        {u"e.txt", u"<InstallPath>", 0, "e"},
    };
    ASSERT_TRUE(extract(test::compress(test::raw_archive(files))));
    EXPECT_EQ(grants, (std::vector<std::wstring>{
                          L"Common\\Varnholt 2032127/3", L"Common\\Varnholt\\Textures 2032127/3",
                          L"Common\\Varnholt\\Textures\\Tavrelle 7 2032127/3", L"Common\\Varnholt\\Materials 2032127/3",
                          L"Common\\Examples 2032127/3"}));
}

} // namespace
