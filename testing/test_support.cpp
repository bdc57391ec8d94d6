#include "testing/test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReadFile(const fs::path& path) {
    std::string text = ReadBytes(path);
#ifdef _WIN32
    size_t kept = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        text[kept++] = text[i];
    }
    text.resize(kept);
#endif
    return text;
}

bool WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

std::string LineOf(const std::string& text, int number) {
    size_t start = 0;
    for (int line = 1; start < text.size(); ++line) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (line == number)
            return text.substr(start, end - start);
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++start;
    }
    return "<missing>";
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::error_code error;
    do {
        path_ =
            fs::temp_directory_path() / ("corelith_test_" + std::to_string(seed()) + "_" +
                                         std::to_string(stamp) + "_" + std::to_string(counter++));
    } while (!fs::create_directories(path_, error) && !error);
    if (error)
        ADD_FAILURE() << "cannot create the test folder " << path_ << ": " << error.message();
}

TempDir::~TempDir() {
    std::error_code ignored;
    // A test may leave read-only files or folders behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string TempDir::Folder() const {
    std::string folder = TextOf(path_);
    folder += static_cast<char>(fs::path::preferred_separator);
    return folder;
}

bool TempDir::Has(const std::string& name) const {
    std::error_code error;
    return fs::exists(path_ / PathOf(name), error);
}

void TempDir::Write(const std::string& name, const std::string& text) const {
    EXPECT_TRUE(WriteFile(path_ / PathOf(name), text)) << "cannot write " << File(name);
}

void TempDir::Copy(const fs::path& from, const std::string& name) const {
    const fs::path to = name.empty() ? path_ / from.filename() : path_ / PathOf(name);
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    EXPECT_FALSE(error) << "cannot copy " << from << ": " << error.message();
}

void TempDir::CopyAll(const fs::path& from) const {
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        if (entry.is_regular_file())
            Copy(entry.path());
    }
}

bool UpdatingGolden() {
    const char* update = std::getenv("CORELITH_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

std::string Golden(const fs::path& golden, const std::string& actual) {
    if (UpdatingGolden()) {
        std::error_code ignored;
        fs::create_directories(golden.parent_path(), ignored);
        EXPECT_TRUE(WriteFile(golden, actual)) << "cannot write " << golden;
    }
    return ReadFile(golden);
}

void ExpectGolden(const fs::path& golden, const std::string& actual) {
    const std::string expected = Golden(golden, actual);
    ASSERT_TRUE(fs::exists(golden)) << "no golden file " << golden;
    EXPECT_EQ(actual, expected) << "differs from " << golden;
}

void SetEnv(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // Through the wide environment, which holds every letter of a UTF-8 value (the narrow
    // one is in the ANSI code page); an empty value removes the variable.
    _wputenv_s(PathOf(name).c_str(), value ? PathOf(*value).c_str() : L"");
#else
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
#endif
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)) {
#ifdef _WIN32
    if (const wchar_t* old = _wgetenv(PathOf(name_).c_str()))
        old_ = TextOf(fs::path(old));
#else
    if (const char* old = std::getenv(name_.c_str()))
        old_ = old;
#endif
    SetEnv(name_, value);
}

ScopedEnv::~ScopedEnv() {
    SetEnv(name_, old_);
}

int RunInFolder(const fs::path& folder, const fs::path& program,
                const std::vector<std::string>& arguments, const std::string& input,
                const std::string& output) {
    std::string command = "\"";
    command += TextOf(program);
    command += '"';
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    command += " < \"" + input + "\" > \"" + output + "\" 2>&1";
#ifdef _WIN32
    // cmd /c keeps the inner quotes only when the whole line is quoted once more.
    command = "\"" + command + "\"";
#endif
    std::error_code error;
    const fs::path before = fs::current_path(error);
    fs::current_path(folder, error);
    if (error) {
        ADD_FAILURE() << "cannot change into " << folder << ": " << error.message();
        return -1;
    }
#ifdef _WIN32
    // Through the wide call, so that names outside the ANSI code page reach the program.
    const int status = _wsystem(PathOf(command).c_str());
#else
    const int status = std::system(command.c_str());
#endif
    fs::current_path(before, error);
    return status;
}

fs::path ScreenshotFolder() {
    const char* folder = std::getenv("CORELITH_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0')
        return {};
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return fs::path(folder);
}

int ReplayFuzzInputs(const fs::path& folder, FuzzEntry (*lookup)(const std::string&)) {
    int replayed = 0;
    if (!fs::is_directory(folder)) {
        ADD_FAILURE() << "no folder " << folder;
        return replayed;
    }
    for (const fs::directory_entry& target : fs::directory_iterator(folder)) {
        if (!target.is_directory())
            continue;
        const FuzzEntry entry = lookup(TextOf(target.path().filename()));
        EXPECT_NE(entry, nullptr) << "no fuzz target for " << target.path();
        if (entry == nullptr)
            continue;
        for (const fs::directory_entry& input : fs::directory_iterator(target.path())) {
            if (!input.is_regular_file() || input.path().filename() == "README.md")
                continue;
            const std::string data = ReadFile(input.path());
            std::string failure;
            EXPECT_TRUE(
                entry(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), failure))
                << input.path() << ": " << failure;
            ++replayed;
        }
    }
    return replayed;
}

} // namespace testsupport
