#include "engine/files.h"

#include "engine/portable.h"

#include <atomic>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <random>
#include <sstream>
#include <system_error>

namespace marvane {

namespace fs = std::filesystem;

namespace {

// Report files are written through a buffer large enough that the system is asked to
// write only every quarter megabyte.
constexpr size_t kOutputBuffer = 256 * 1024;
constexpr int kNameAttempts = 100;
constexpr const char* kLockText = "marvane process ";

// A name beside `target` that no other writer picks: random per process, counted within it.
std::string TemporaryName(const std::string& target) {
    static const unsigned long long base = [] {
        std::random_device seed;
        return (static_cast<unsigned long long>(seed()) << 32 ^ seed()) ^
               static_cast<unsigned long long>(portable::CurrentProcessId());
    }();
    static std::atomic<unsigned long long> counter{0};
    const unsigned long long value = base + counter++ * 0x9E3779B97F4A7C15ULL;
    char hex[17];
    const auto end = std::to_chars(hex, hex + sizeof hex, value, 16).ptr;
    return target + "." + std::string(hex, end) + ".tmp";
}

} // namespace

int OpenInputFile(std::ifstream& file, const std::string& path, const std::string& shown,
                  std::string& error) {
    std::error_code unknown;
    const fs::file_status status = fs::status(path, unknown);
    if (!fs::exists(status)) {
        error = shown + " does not exist";
        return -1;
    }
    if (fs::is_directory(status)) {
        error = shown + " is a folder, not a file";
        return -1;
    }
    file.open(path, std::ios::binary);
    if (!file) {
        error = shown + " cannot be opened";
        return -1;
    }
    return 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code unknown;
    if (fs::equivalent(a, b, unknown)) {
        return true;
    }
    std::string first = fs::absolute(a, unknown).lexically_normal().string();
    std::string second = fs::absolute(b, unknown).lexically_normal().string();
#ifdef _WIN32
    // File names on Windows are the same whatever the case of their letters.
    for (std::string* name : {&first, &second}) {
        for (char& c : *name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
#endif
    return first == second;
}

OutputFile::~OutputFile() {
    Discard();
}

int OutputFile::Open(const std::string& path, const std::string& shownName, std::string& error) {
    Discard();
    shownName_ = shownName;
    target_ = path;
    std::error_code unknown;
    if (fs::is_symlink(fs::symlink_status(path, unknown))) {
        // The file the link points to is replaced, not the link.
        const fs::path resolved = fs::weakly_canonical(path, unknown);
        if (!unknown) {
            target_ = resolved.string();
        }
    }
    const fs::file_status status = fs::status(target_, unknown);
    if (fs::is_directory(status)) {
        error = "file \"" + shownName + "\" cannot be written: it is a folder";
        return -1;
    }
    std::string where = target_;
    if (!fs::exists(status) || fs::is_regular_file(status)) {
        std::string reason;
        portable::CreateResult created = portable::CreateResult::Exists;
        for (int attempt = 0; attempt < kNameAttempts && created == portable::CreateResult::Exists;
             ++attempt) {
            temporary_ = TemporaryName(target_);
            created = portable::CreateNewFile(temporary_, reason);
        }
        if (created != portable::CreateResult::Created) {
            temporary_.clear();
            error = "file \"" + shownName + "\" cannot be written" +
                    (reason.empty() ? std::string() : ": " + reason);
            return -1;
        }
        where = temporary_;
    }
    buffer_.resize(kOutputBuffer);
    stream_.rdbuf()->pubsetbuf(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    stream_.open(where, std::ios::binary | std::ios::trunc);
    if (!stream_) {
        Discard();
        error = "file \"" + shownName + "\" cannot be written";
        return -1;
    }
    return 0;
}

int OutputFile::Commit(std::string& error) {
    stream_.flush();
    bool written = static_cast<bool>(stream_);
    stream_.close();
    written = written && !stream_.fail();
    if (!written) {
        Discard();
        error = "file \"" + shownName_ + "\" could not be written completely";
        return -1;
    }
    if (!temporary_.empty()) {
        std::string reason;
        if (portable::MoveIntoPlace(temporary_, target_, reason) != 0) {
            Discard();
            error = "file \"" + shownName_ + "\" cannot be replaced: " + reason;
            return -1;
        }
        temporary_.clear();
    }
    return 0;
}

void OutputFile::Discard() {
    if (stream_.is_open()) {
        stream_.close();
    }
    stream_.clear();
    if (!temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        temporary_.clear();
    }
}

int WriteWholeFile(const std::string& path, const std::string& shownName, std::string_view text,
                   std::string& error) {
    OutputFile file;
    if (file.Open(path, shownName, error) != 0) {
        return -1;
    }
    file.Stream().write(text.data(), static_cast<std::streamsize>(text.size()));
    return file.Commit(error);
}

int RunLock::Acquire(const std::string& path, std::string& error) {
    Release();
    // A lock left by a run that was killed is removed and the creation tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string reason;
        const portable::CreateResult created = portable::CreateNewFile(path, reason);
        if (created == portable::CreateResult::Created) {
            path_ = path;
            std::ofstream lock(path, std::ios::binary | std::ios::trunc);
            lock << kLockText << portable::CurrentProcessId() << '\n';
            return 0;
        }
        if (created == portable::CreateResult::Failed) {
            error = "the lock file \"" + path + "\" cannot be created: " + reason;
            return -1;
        }
        std::string text;
        {
            // Closed before it may be removed: Windows removes no open file.
            std::ifstream lock(path, std::ios::binary);
            std::getline(lock, text);
        }
        long long owner = 0;
        const bool named = text.rfind(kLockText, 0) == 0 &&
                           std::from_chars(text.data() + std::char_traits<char>::length(kLockText),
                                           text.data() + text.size(), owner)
                                   .ec == std::errc();
        // A lock file without a process may be one that its run is still writing.
        if (!named || portable::ProcessMayBeRunning(owner)) {
            error = "another run" +
                    (named ? " (process " + std::to_string(owner) + ")" : std::string()) +
                    " is writing its files in this folder, as the lock file \"" + path +
                    "\" shows; wait until it has ended, or, if no run is active there, delete "
                    "that file and start again";
            return -1;
        }
        std::error_code ignored;
        fs::remove(path, ignored);
    }
    error = "the lock file \"" + path + "\" cannot be taken over";
    return -1;
}

void RunLock::Release() {
    if (!path_.empty()) {
        std::error_code ignored;
        fs::remove(path_, ignored);
        path_.clear();
    }
}

} // namespace marvane
