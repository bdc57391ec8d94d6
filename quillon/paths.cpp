#include "quillon/paths.h"

#include <system_error>

namespace quillon {

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string_view LastPathPart(std::string_view written) {
    const size_t last = written.find_last_of("/\\");
    return last == std::string_view::npos ? written : written.substr(last + 1);
}

fs::path LocateProjectMember(const fs::path& projectFile, std::string_view written,
                             std::string& movedFrom) {
    movedFrom.clear();
    const fs::path folder = projectFile.parent_path();
    fs::path path = PathFromUtf8(written);
    if (path.is_relative())
        path = folder / path;
    std::error_code ignored;
    if (fs::exists(path, ignored))
        return path;
    const std::string_view name = LastPathPart(written);
    if (name.empty())
        return path;
    const fs::path beside = folder / PathFromUtf8(name);
    if (beside != path && fs::exists(beside, ignored)) {
        movedFrom = std::string(written);
        return beside;
    }
    return path;
}

fs::path OutputBase(const fs::path& projectFile) {
    fs::path base = projectFile;
    base.replace_extension();
    return base;
}

fs::path WithSuffix(const fs::path& base, std::string_view suffix) {
    fs::path result = base;
    result += PathFromUtf8(suffix);
    return result;
}

} // namespace quillon
