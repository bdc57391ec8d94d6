// What the analog project tests share: the test data, a workbench on the scripted
// backend, and the golden-file comparison.
#pragma once

#include "platform/scripted/scripted_platform.h"
#include "testing/test_support.h"
#include "workbench.h"

#include <filesystem>
#include <string>
#include <vector>

namespace corelith::analogtest {

// Compares `text` with tests/golden/`name`.
inline void ExpectGolden(const std::string& text, const std::string& name) {
    testsupport::ExpectGolden(std::filesystem::path(CORELITH_TEST_DIR) / "golden" / name, text);
}

inline std::filesystem::path TestData(const std::string& name) {
    return std::filesystem::path(CORELITH_TEST_DIR) / "data" / name;
}

inline std::filesystem::path ExampleTables() {
    return std::filesystem::path(CORELITH_SOURCE_ROOT) / "examples" / "tables";
}

// A started workbench on the scripted backend, its settings file in `folder`.
struct ScriptedWorkbench {
    ScriptedWorkbench(const testsupport::TempDir& folder, std::vector<std::string> answers)
        : platform(std::move(answers)), wb(platform) {
        platform.SetSettingsFolder(folder.Folder());
        StartWorkbench(wb);
        wb.workingFolder = folder.Folder();
    }
    ScriptedPlatform platform;
    Workbench wb;
};

} // namespace corelith::analogtest
