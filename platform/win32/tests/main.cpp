// The Win32 backend's tests. Started by the tests themselves as an outside program (no
// arguments, see win32_platform_test.cpp), the program only reports where and how it runs.
#include "platform/wide_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// When CORELITH_TEST_REPORT names a file, writes "<current folder>\n<console>\n" into it
// (console: "own" when the program has a console window) and returns true.
bool ReportHowWeRun() {
    wchar_t report[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"CORELITH_TEST_REPORT", report, MAX_PATH) == 0)
        return false;
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    FILE* file = _wfopen(report, L"wb");
    if (file != nullptr) {
        const std::string text = corelith::Narrow(folder) + "\n" +
                                 (GetConsoleWindow() != nullptr ? "own" : "none") + "\n";
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (ReportHowWeRun())
        return 0;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
