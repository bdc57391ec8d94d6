// What the analog project tests share: a temporary folder per test, a workbench on the
// scripted backend, and the golden-file comparison.
#pragma once

#include "platform/scripted/scripted_platform.h"
#include "workbench.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace corelith::analogtest {

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Compares `text` with tests/golden/`name`. With CORELITH_UPDATE_GOLDEN set in the
// environment the golden file is rewritten instead (review the diff before committing).
inline void ExpectGolden(const std::string& text, const std::string& name) {
    const std::filesystem::path golden = std::filesystem::path(CORELITH_TEST_DIR) / "golden" / name;
    if (std::getenv("CORELITH_UPDATE_GOLDEN") != nullptr)
        WriteWholeFile(golden, text);
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_EQ(text, ReadWholeFile(golden)) << "differs from " << golden;
}

inline std::filesystem::path TestData(const std::string& name) {
    return std::filesystem::path(CORELITH_TEST_DIR) / "data" / name;
}

inline std::filesystem::path ExampleTables() {
    return std::filesystem::path(CORELITH_SOURCE_ROOT) / "examples" / "tables";
}

// A fresh folder under the system's temporary folder, removed at the end of the test. Its
// name is new for every run, so that builds testing side by side never share one.
class TempFolder {
  public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string base =
            std::string("corelith_analog_") + info->test_suite_name() + "_" + info->name() + "_";
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        do
            path_ = std::filesystem::temp_directory_path() / (base + std::to_string(stamp++));
        while (!std::filesystem::create_directories(path_));
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // With a trailing separator.
    std::string Path() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    bool Has(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    std::string Read(const std::string& name) const { return ReadWholeFile(path_ / name); }
    void Write(const std::string& name, const std::string& text) const {
        WriteWholeFile(path_ / name, text);
    }
    void Copy(const std::filesystem::path& from, const std::string& name) const {
        std::filesystem::copy_file(from, path_ / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }

  private:
    std::filesystem::path path_;
};

// A started workbench on the scripted backend, its settings file in `folder`.
struct ScriptedWorkbench {
    ScriptedWorkbench(const TempFolder& folder, std::vector<std::string> answers)
        : platform(std::move(answers)), wb(platform) {
        platform.SetSettingsFolder(folder.Path());
        StartWorkbench(wb);
        wb.workingFolder = folder.Path();
    }
    ScriptedPlatform platform;
    Workbench wb;
};

} // namespace corelith::analogtest
