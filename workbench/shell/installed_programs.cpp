// The one place that asks the system where the running executable lies: each platform has
// its own call for it, and none of them is in the standard library.
#include "shell/installed_programs.h"

#include "textio/paths.h"
#include "workbench.h"

#include <filesystem>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <cstdint>
#include <mach-o/dyld.h>
#endif

namespace corelith {

namespace {

// Full path of the running executable, or an empty text when the system does not say.
std::string SystemExecutablePath() {
#if defined(_WIN32)
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0)
            return {};
        if (length < size)
            return Utf8Path(std::filesystem::path(std::wstring(buffer.data(), length)));
        buffer.resize(buffer.size() * 2); // cut to the buffer: try a larger one
    }
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::vector<char> buffer(size + 1);
    if (_NSGetExecutablePath(buffer.data(), &size) != 0)
        return {};
    return std::string(buffer.data());
#else
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : Utf8Path(self);
#endif
}

} // namespace

std::string FolderOfArgv0(std::string_view argv0, std::string_view currentFolder) {
    const std::string folder = FolderOf(argv0);
    if (folder.empty())
        return {};
    return JoinPath(currentFolder, folder);
}

std::string ExecutableFolder(std::string_view argv0) {
    const std::string folder = FolderOf(SystemExecutablePath());
    if (!folder.empty() || argv0.empty())
        return folder;
    std::error_code error;
    std::string current = Utf8Path(std::filesystem::current_path(error));
    if (error)
        current.clear();
    else if (!current.empty() && current.back() != PathSeparator())
        current += PathSeparator();
    return FolderOfArgv0(argv0, current);
}

std::string InstalledProgram(const Workbench& wb, std::string_view name) {
    const std::string folder = wb.programFolder.empty() ? ExecutableFolder() : wb.programFolder;
    if (folder.empty())
        return {};
    std::string program = JoinPath(folder, name);
#ifdef _WIN32
    program += ".exe";
#endif
    std::error_code error;
    return std::filesystem::is_regular_file(NativePath(program), error) ? program : std::string();
}

} // namespace corelith
