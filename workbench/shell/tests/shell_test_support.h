// A temporary folder per test, and the settings file in it.
#pragma once

#include "platform/dialog.h"
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <unistd.h>

namespace corelith::testing {

// The controls of one dialog kept in maps, so a test can drive a model or a helper alone
// and look at what it set.
class MapControls : public DialogControls {
  public:
    std::string Text(int id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    bool Checked(int id) const override {
        auto it = checks.find(id);
        return it != checks.end() && it->second;
    }
    void SetChecked(int id, bool checked) override { checks[id] = checked; }
    void FocusDialog() override { focusedDialog = true; }
    void FocusControl(int) override {}
    void Beep() override {}
    void End(int value) override {
        ended = true;
        result = value;
    }

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    bool focusedDialog = false;
    bool ended = false;
    int result = 0;
};

class TempFolder {
  public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (std::string("corelith_shell_") + std::to_string(getpid()) + "_" +
                 info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
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

    // Line `number` (1-based) of a file in the folder, without its line end.
    std::string Line(const std::string& name, int number) const {
        std::ifstream in(path_ / name);
        std::string line;
        for (int i = 0; i < number; ++i) {
            if (!std::getline(in, line))
                return "<missing>";
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }
    std::string SettingsLine(int number) const { return Line(kSettingsFileName, number); }

    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }

  private:
    std::filesystem::path path_;
};

} // namespace corelith::testing
