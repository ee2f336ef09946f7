#include "payload/extract.h"
#include "payload/crc32.h"
#include "payload/payload_stream.h"
#include "support/unique_handle.h"
#include <windows.h>
#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/copy.hpp>
#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filtering_streambuf.hpp>
#include <boost/system/system_error.hpp>
#include <cerrno>
#include <cstdlib>

namespace payload {

namespace fs = std::filesystem;

namespace {

class compress_category_impl : public std::error_category {
public:
    const char* name() const noexcept override { return "compress"; }
    std::string message(int value) const override
    {
        switch (value) {
        case 3: return "invalid checksum";
        case 5: return "interrupted";
        case 6: return "bzip2 error";
        case 7: return "unexpected error";
        default: return "unknown error";
        }
    }
};

[[noreturn]] void raise(compress_error e) { throw std::system_error(make_error_code(e)); }
[[noreturn]] void raise_windows(DWORD code, const fs::path& path, const char* what)
{
    throw fs::filesystem_error(what, path, std::error_code(static_cast<int>(code), std::system_category()));
}

// Opens a file with the sharing the engine uses: others may read, not write.
vh::unique_hfile open_shared_read(const fs::path& path, DWORD access, DWORD disposition)
{
    return vh::unique_hfile(::CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::uint32_t file_crc(const fs::path& path)
{
    for (int retries = 0;; ++retries) {
        vh::unique_hfile file = open_shared_read(path, GENERIC_READ, OPEN_EXISTING);
        DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
        crc32 crc;
        char buffer[block_size];
        DWORD n = 0;
        while (file) {
            if (!::ReadFile(file.get(), buffer, sizeof(buffer), &n, nullptr)) {
                error = ::GetLastError();
                break;
            }
            if (n == 0) return crc.value();
            crc.update(buffer, n);
        }
        // Another program (a virus scanner, the indexer) may hold the new file for a moment.
        if (error != ERROR_SHARING_VIOLATION || retries == 3) raise_windows(error, path, "checksum");
        ::Sleep(1000);
    }
}

class ArchiveWriter {
public:
    using char_type = char;
    using category = boost::iostreams::sink_tag;

    ArchiveWriter(const extraction_inputs& inputs, const extraction_handler& handler)
        : inputs_(inputs), handler_(handler) {}

    // The decompression chain hands every block here; all of it is consumed, entry by entry.
    std::streamsize write(const char* data, std::streamsize n)
    {
        std::streamsize done = 0;
        while (done < n) done += accept(data + done, static_cast<std::size_t>(n - done));
        return n;
    }

    template <typename F>
    auto guarded(F f)
    {
        try {
            return f();
        } catch (...) {
            failed_ = true;
            if (current_ > 0 && current_ - 1 < entries_.size() && started_) failedTarget_ = entries_[current_ - 1].destination;
            file_.reset();
            throw;
        }
    }

    // After the last block: entries of size 0 at the very end still get their file.
    void finish()
    {
        if (!failed_ && current_ > 0) guarded([&] { advance_empty_entries(); });
    }

    std::uint64_t processed() const { return processed_; }
    std::uint64_t total() const { return total_; }
    // The target of the entry being written when a failure left the writer.
    const fs::path* failed_target() const { return failedTarget_.empty() ? nullptr : &failedTarget_; }

private:
    std::size_t accept(const char* data, std::size_t n)
    {
        if (failed_) return n;   // data after a failure is discarded
        return guarded([&] { return current_ == 0 ? accept_directory(data, n) : accept_file(data, n); });
    }

    notification::result notify(decltype(notification::value) v) { return handler_(notification{std::move(v)}); }
    void notify_checked(decltype(notification::value) v)
    {
        if (notify(std::move(v)) == notification::result::Abort) raise(compress_error::interrupted);
    }

    std::size_t accept_directory(const char* data, std::size_t n)
    {
        std::size_t want = directory_.size() < 8 ? 8 - directory_.size()
                                                 : static_cast<std::size_t>(directorySize_ - directory_.size());
        std::size_t k = std::min(n, want);
        directory_.insert(directory_.end(), data, data + k);
        try {
            if (directory_.size() == 8) {
                directorySize_ = read_directory_size(reinterpret_cast<const unsigned char*>(directory_.data()));
                directory_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(directorySize_, 1 << 20)));
            }
            if (directory_.size() >= 8 && directory_.size() == directorySize_) read_directory();
        } catch (const format_error&) {
            raise(compress_error::unexpected);
        }
        return k;
    }

    void read_directory()
    {
        auto decoded = decode_directory(reinterpret_cast<const unsigned char*>(directory_.data()), directory_.size());
        total_ = archive_total(directorySize_, decoded);
        entries_.reserve(decoded.size());
        for (const auto& d : decoded) {
            PayloadEntry e;
            std::wstring source(d.source.begin(), d.source.end());
            e.source = source;
            e.kind = static_cast<std::int32_t>(d.kind);
            e.size = d.size;
            e.checksum = d.checksum;
            fs::path folder = resolve_destination(std::wstring(d.destination.begin(), d.destination.end()),
                                                  inputs_.destinations, shared_);
            e.destination = folder / e.source.filename();
            entries_.push_back(std::move(e));
        }
        std::vector<char>().swap(directory_);
        processed_ = directorySize_;
        notify_checked(notification::Progress{processed_, total_});
        current_ = 1;
        advance_empty_entries();
    }

    std::size_t accept_file(const char* data, std::size_t n)
    {
        if (current_ - 1 >= entries_.size()) raise(compress_error::unexpected);   // data beyond the last entry
        PayloadEntry& e = entries_[current_ - 1];
        if (!started_) begin(e);
        std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, remaining_));
        if (!skip_) write_file(e, data, k);
        remaining_ -= k;
        processed_ += k;
        notify_checked(notification::Progress{processed_, total_});
        if (remaining_ == 0) {
            end(e);
            advance_empty_entries();
        }
        return k;
    }

    // Entries without data are complete as soon as the writer reaches them.
    void advance_empty_entries()
    {
        while (current_ - 1 < entries_.size() && entries_[current_ - 1].size == 0) {
            PayloadEntry& e = entries_[current_ - 1];
            begin(e);
            notify_checked(notification::Progress{processed_, total_});
            end(e);
        }
    }

    void begin(PayloadEntry& e)
    {
        auto answer = notify(notification::FileBegin{&e});
        if (answer == notification::result::Abort) raise(compress_error::interrupted);
        started_ = true;
        remaining_ = e.size;
        skip_ = answer == notification::result::Skip;
        if (!skip_) open_target(e.destination);
    }

    void end(PayloadEntry& e)
    {
        if (!skip_) {
            file_.reset();
            if (file_crc(e.destination) != e.checksum) raise(compress_error::invalid_checksum);
            notify_checked(notification::FileEnd{&e});
        }
        ++current_;
        started_ = skip_ = false;
    }

    void open_target(const fs::path& target)
    {
        std::error_code ec;
        auto status = fs::symlink_status(target, ec);
        if (fs::exists(status)) {
            fs::path file = fs::is_symlink(status) ? fs::canonical(target, ec) : target;
            if (fs::is_symlink(status) || fs::is_regular_file(status)) {
                DWORD attributes = ::GetFileAttributesW(file.c_str());
                if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                    ::SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            }
        } else if (fs::path folder = target.parent_path(); !folder.empty() && !fs::exists(folder, ec)) {
            if (!fs::create_directories(folder, ec) && ec)
                throw fs::filesystem_error("create_directories", folder, ec);
        }
        grant_shared_folders(target.parent_path());
        file_ = open_shared_read(target, GENERIC_WRITE, CREATE_ALWAYS);
        if (!file_) raise_windows(::GetLastError(), target, "open");
    }

    void write_file(const PayloadEntry& e, const char* data, std::size_t n)
    {
        DWORD written = 0;
        if (!::WriteFile(file_.get(), data, static_cast<DWORD>(n), &written, nullptr) || written != n)
            raise_windows(::GetLastError(), e.destination, "write");
    }

    // Every listed shared folder at or above the target's folder gets the users' rights,
    // once per run.
    void grant_shared_folders(const fs::path& start)
    {
        for (auto& listed : shared_.folders()) {
            if (listed.granted) continue;
            for (fs::path folder = start;; folder = folder.parent_path()) {
                std::error_code ec;
                if (!fs::is_directory(folder, ec)) break;
                if (folder == listed.path || fs::equivalent(folder, listed.path, ec)) {
                    listed.granted = true;
                    if (inputs_.grant) {
                        try {
                            inputs_.grant(listed.path, 0x1F01FF, 3);
                        } catch (const std::exception&) {
                            // A folder whose rights cannot be widened still takes the files.
                        }
                    }
                    break;
                }
                if (folder.parent_path().native().size() >= folder.native().size()) break;
            }
        }
    }

    const extraction_inputs& inputs_;
    const extraction_handler& handler_;
    shared_folder_list shared_;
    std::vector<PayloadEntry> entries_;
    std::vector<char> directory_;
    std::uint64_t directorySize_ = 0, processed_ = 0, total_ = 0, remaining_ = 0;
    std::size_t current_ = 0;
    bool started_ = false, skip_ = false, failed_ = false;
    vh::unique_hfile file_;
    fs::path failedTarget_;
};

std::error_code error_code_of(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const boost::iostreams::bzip2_error&) {
        return make_error_code(compress_error::bzip2);
    } catch (const std::ios_base::failure&) {
        if (_doserrno) return {static_cast<int>(_doserrno), std::system_category()};
        if (errno) return {errno, std::generic_category()};
        return make_error_code(compress_error::unexpected);
    } catch (const std::system_error& e) {
        return e.code();
    } catch (const boost::system::system_error& e) {
        const auto& category = e.code().category();
        if (category == boost::system::system_category()) return {e.code().value(), std::system_category()};
        if (category == boost::system::generic_category()) return {e.code().value(), std::generic_category()};
        return make_error_code(compress_error::unexpected);
    } catch (...) {
        return make_error_code(compress_error::unexpected);
    }
}

fs::path path_of(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const fs::filesystem_error& e) {
        return e.path1();
    } catch (...) {
        return {};
    }
}

} // namespace

const std::error_category& compress_category()
{
    static const compress_category_impl category;
    return category;
}

std::error_code make_error_code(compress_error e) { return {static_cast<int>(e), compress_category()}; }

bool ExtractPayload(std::istream& payload, const extraction_inputs& inputs, const extraction_handler& handler)
{
    std::unique_ptr<ArchiveWriter> writer;
    try {
        // A stale error of an earlier run-time call must not be taken for this run's.
        _doserrno = 0;
        errno = 0;
        handler(notification{notification::Started{}});
        writer = std::make_unique<ArchiveWriter>(inputs, handler);
        {
            namespace io = boost::iostreams;
            io::filtering_streambuf<io::input> chain;
            chain.push(io::bzip2_decompressor(), block_size);
            chain.push(payload, block_size);
            io::copy(chain, boost::ref(*writer), block_size);
        }
        writer->finish();
        if (writer->total() != 0 && writer->processed() == writer->total()) {
            payload.clear();
            auto read = payload.tellg();
            handler(notification{notification::Finished{read < 0 ? 0 : static_cast<std::uint64_t>(read), writer->total()}});
            return true;
        }
        raise(compress_error::unexpected);
    } catch (const std::exception&) {
        std::exception_ptr failure = std::current_exception();
        std::error_code code = error_code_of(failure);
        fs::path path = writer && writer->failed_target() ? *writer->failed_target() : path_of(failure);
        handler(notification{notification::Failed{code, path}});
        return false;
    }
}

} // namespace payload
