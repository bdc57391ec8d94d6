// What every test suite of the project shares: a temporary folder per test, whole-file
// reads and writes, golden-file comparison, a scoped environment variable, and the folder
// that screenshots go to when a run asks for them. Standard library and GoogleTest only,
// so the suites build for every platform we ship.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

namespace fs = std::filesystem;

// Paths as the project keeps them: UTF-8 text on every platform.
inline fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string TextOf(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Reads a whole file as the text the programs wrote: its bytes, except that on Windows each
// CR LF is read as LF. There the programs write their text files with the platform's line
// ends, and the tests compare the text itself (the line ends are tested on their own). An
// empty text when the file cannot be opened.
std::string ReadFile(const fs::path& path);
// Reads the exact bytes of a whole file; an empty text when it cannot be opened.
std::string ReadBytes(const fs::path& path);
// Writes `text` in binary mode, replacing the file. False when it cannot be written.
bool WriteFile(const fs::path& path, const std::string& text);
// Line `number` (1-based) of `text` without its line end (LF, CR LF or CR), or "<missing>"
// when the text has fewer lines.
std::string LineOf(const std::string& text, int number);

// A fresh folder below the system's temporary folder, removed with the object. Its name is
// new for every object, so parallel test runs never share one.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    // The folder as text, ending with the platform's separator.
    std::string Folder() const;
    // The full path of `name` inside the folder.
    std::string File(const std::string& name) const { return TextOf(path_ / PathOf(name)); }
    bool Has(const std::string& name) const;
    std::string Read(const std::string& name) const { return ReadFile(path_ / PathOf(name)); }
    void Write(const std::string& name, const std::string& text) const;
    // Copies `from` into the folder as `name` (default: its own file name).
    void Copy(const fs::path& from, const std::string& name = {}) const;
    // Copies every regular file of `from` (not its subfolders) into the folder.
    void CopyAll(const fs::path& from) const;
    // Line `number` (1-based) of file `name`, as LineOf gives it.
    std::string Line(const std::string& name, int number) const {
        return LineOf(Read(name), number);
    }

  private:
    fs::path path_;
};

// True when the run asks for golden files to be rewritten (CORELITH_UPDATE_GOLDEN=1).
bool UpdatingGolden();

// Compares `actual` with the golden file `golden`. When golden files are being rewritten,
// `actual` is written there first (review the diff before committing).
void ExpectGolden(const fs::path& golden, const std::string& actual);
// The golden text itself, written from `actual` first when golden files are being
// rewritten; for callers that compare it in their own way.
std::string Golden(const fs::path& golden, const std::string& actual);

// Sets (or, with std::nullopt, removes) an environment variable for the object's lifetime.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

// Runs `program` with `arguments` in `folder` through the system's command processor, its
// standard input read from the file `input` and its standard output and error written to
// the file `output` (both named relative to `folder`). Returns what std::system returns: 0
// when the program ended with status 0.
int RunInFolder(const fs::path& folder, const fs::path& program,
                const std::vector<std::string>& arguments, const std::string& input,
                const std::string& output);

// Sets or removes an environment variable on every platform.
void SetEnv(const std::string& name, const std::optional<std::string>& value);

// The folder screenshots are written to (CORELITH_SCREENSHOT_DIR), or an empty path when
// the run does not ask for pictures.
fs::path ScreenshotFolder();

// The entry of a fuzz target: true when the input kept every promise, else false with the
// broken one in its last argument.
using FuzzEntry = bool (*)(const std::uint8_t*, std::size_t, std::string&);

// Replays every kept input in `folder`, one subfolder per fuzz target (README.md aside),
// through the entry `lookup` gives for the target's name, each as a test expectation.
// Returns how many inputs were replayed.
int ReplayFuzzInputs(const fs::path& folder, FuzzEntry (*lookup)(const std::string&));

} // namespace testsupport
