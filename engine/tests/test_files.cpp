#include "test_files.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace marvane::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<int> counter{0};
    std::random_device seed;
    path_ = fs::temp_directory_path() /
            ("marvane_test_" + std::to_string(seed()) + "_" + std::to_string(counter++));
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void CopyFiles(const fs::path& from, const fs::path& to) {
    for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
        if (entry.is_regular_file()) {
            fs::copy_file(entry.path(), to / entry.path().filename(),
                          fs::copy_options::overwrite_existing);
        }
    }
}

fs::path GoldenDir(const std::string& golden) {
    return fs::path(MARVANE_GOLDEN_DIR) / golden;
}

std::string Golden(const std::string& golden, const std::string& name, const std::string& actual) {
    const fs::path expected = GoldenDir(golden) / "expected" / name;
    const char* update = std::getenv("MARVANE_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        fs::create_directories(expected.parent_path());
        WriteFile(expected, actual);
    }
    return ReadFile(expected);
}

} // namespace marvane::test
