// Temporary folders, whole-file reads and golden-file comparison for the engine tests.
#pragma once

#include <filesystem>
#include <string>

namespace marvane::test {

// A fresh folder below the system's temporary folder, removed when the object goes.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& text);

// Copies every regular file of `from` (not its subfolders) into `to`.
void CopyFiles(const std::filesystem::path& from, const std::filesystem::path& to);

// The expected text of `name` in golden case `golden` (folder engine/tests/golden/<case>/
// expected/). With MARVANE_UPDATE_GOLDEN=1 in the environment, `actual` is written there
// first, so a new case can be recorded and then checked by hand.
std::string Golden(const std::string& golden, const std::string& name, const std::string& actual);

std::filesystem::path GoldenDir(const std::string& golden);

} // namespace marvane::test
