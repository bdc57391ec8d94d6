#include "textio/line_writer.h"

#include "textio/file_layer.h"
#include "textio/paths.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

namespace corelith {

namespace fs = std::filesystem;

namespace {

// As many links as the systems follow before they call it a loop.
constexpr int kMaxLinks = 40;

// A name beside `target` that no other writer picks: random per process, counted within
// it. The leading dot keeps it out of sight in folder listings on POSIX systems.
std::string TemporaryPath(const std::string& target) {
    static const unsigned long long base = [] {
        std::random_device seed;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        return (static_cast<unsigned long long>(seed()) << 32 ^ seed()) ^
               static_cast<unsigned long long>(now);
    }();
    static std::atomic<unsigned long long> counter{0};
    const unsigned long long value = base + counter++ * 0x9E3779B97F4A7C15ULL;
    char hex[17];
    const auto end = std::to_chars(hex, hex + sizeof hex, value, 16).ptr;
    return FolderOf(target) + "." + FileNameOf(target) + "." + std::string(hex, end) + ".tmp";
}

// The file that writing `path` replaces: the path itself, or the file its links lead to,
// so that a link keeps pointing at the new content. False, with the reason, for a loop.
bool ResolveLinks(const std::string& path, std::string& target, std::string& reason) {
    fs::path current = NativePath(path);
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error))) {
            target = Utf8Path(current);
            return true;
        }
        const fs::path next = fs::read_symlink(current, error);
        if (error) {
            reason = error.message();
            return false;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    reason = std::make_error_code(std::errc::too_many_symbolic_link_levels).message();
    return false;
}

} // namespace

LineWriter::~LineWriter() {
    Discard();
}

LineWriter::LineWriter(LineWriter&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), path_(std::move(other.path_)),
      target_(std::move(other.target_)), temporary_(std::exchange(other.temporary_, {})),
      failed_(other.failed_), reason_(std::move(other.reason_)) {}

LineWriter& LineWriter::operator=(LineWriter&& other) noexcept {
    if (this != &other) {
        Discard();
        file_ = std::exchange(other.file_, nullptr);
        path_ = std::move(other.path_);
        target_ = std::move(other.target_);
        temporary_ = std::exchange(other.temporary_, {});
        failed_ = other.failed_;
        reason_ = std::move(other.reason_);
    }
    return *this;
}

bool LineWriter::Open(const std::string& path) {
    Discard();
    path_ = path;
    target_.clear();
    failed_ = false;
    reason_.clear();
    if (path.empty()) {
        Fail("no file name was given");
        return false;
    }
    std::string reason;
    if (!ResolveLinks(path, target_, reason)) {
        Fail(reason);
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::status(NativePath(target_), error);
    if (error && status.type() != fs::file_type::not_found) {
        Fail(error.message());
        return false;
    }
    if (fs::is_directory(status)) {
        Fail(std::make_error_code(std::errc::is_a_directory).message());
        return false;
    }
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status)) {
        errno = 0;
        file_ = OpenForWriting(target_);
        if (file_ == nullptr)
            FailWithErrno(errno);
        return file_ != nullptr;
    }
    if (exists) {
        // A file the user may not change is not replaced behind its back: the folder may
        // allow a rename where the file itself refuses writing.
        errno = 0;
        std::FILE* probe = OpenFile(target_, "r+b");
        if (probe == nullptr) {
            FailWithErrno(errno);
            return false;
        }
        std::fclose(probe);
    }
    temporary_ = TemporaryPath(target_);
    errno = 0;
    file_ = OpenForWriting(temporary_);
    int openError = errno;
    if (file_ == nullptr) {
        temporary_.clear();
        if (exists) {
            errno = 0;
            file_ = OpenForWriting(target_);
            openError = errno;
        }
        if (file_ == nullptr) {
            FailWithErrno(openError);
            return false;
        }
        return true;
    }
    if (exists) {
        // The new file takes the old one's permissions (best effort: a system without them
        // keeps its defaults).
        fs::permissions(NativePath(temporary_), status.permissions(), fs::perm_options::replace,
                        error);
    }
    return true;
}

void LineWriter::Put(std::string_view text) {
    if (failed_ || file_ == nullptr)
        return;
    errno = 0;
    if (WriteText(file_, text) != 0)
        FailWithErrno(errno);
}

int LineWriter::Close() {
    if (file_ == nullptr) {
        if (!failed_)
            Fail("the file was not open");
        RemoveTemporary();
        return -1;
    }
    errno = 0;
    // A write error may still sit in the buffer; the close reports it.
    if (CloseFile(std::exchange(file_, nullptr)) != 0)
        FailWithErrno(errno);
    if (failed_) {
        RemoveTemporary();
        return -1;
    }
    if (!temporary_.empty()) {
        std::error_code error;
        fs::rename(NativePath(temporary_), NativePath(target_), error);
        if (error) {
            Fail(error.message());
            RemoveTemporary();
            return -1;
        }
        temporary_.clear();
    }
    return 0;
}

void LineWriter::Discard() {
    if (file_ != nullptr)
        CloseFile(std::exchange(file_, nullptr));
    RemoveTemporary();
}

void LineWriter::RemoveTemporary() {
    if (temporary_.empty())
        return;
    std::error_code ignored;
    fs::remove(NativePath(temporary_), ignored);
    temporary_.clear();
}

void LineWriter::Fail(std::string reason) {
    if (!failed_)
        reason_ = std::move(reason);
    failed_ = true;
}

void LineWriter::FailWithErrno(int error) {
    Fail(error == 0 ? std::string("the file could not be written") : std::strerror(error));
}

std::string LineWriter::Reason() const {
    return failed_ ? reason_ : std::string();
}

} // namespace corelith
