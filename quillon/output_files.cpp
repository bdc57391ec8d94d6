#include "quillon/output_files.h"

#include <fstream>
#include <system_error>

namespace quillon {

namespace {

fs::path TemporaryOf(const fs::path& path) {
    return WithSuffix(path, ".quillon-tmp");
}

void RemoveTemporaries(const std::vector<OutputFile>& files, size_t count) {
    std::error_code ignored;
    for (size_t i = 0; i < count; ++i)
        fs::remove(TemporaryOf(files[i].path), ignored);
}

} // namespace

int WriteOutputFiles(const std::vector<OutputFile>& files, std::string& error) {
    for (size_t i = 0; i < files.size(); ++i) {
        const fs::path temporary = TemporaryOf(files[i].path);
        std::ofstream out(temporary, std::ios::out | std::ios::trunc);
        out << files[i].text;
        out.close();
        if (!out) {
            RemoveTemporaries(files, i + 1);
            error = Utf8FromPath(files[i].path) + ": the file cannot be written";
            return -1;
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const fs::path temporary = TemporaryOf(files[i].path);
        std::error_code code;
        fs::rename(temporary, files[i].path, code);
        if (code) {
            // Some systems do not rename over an existing file.
            std::error_code ignored;
            fs::remove(files[i].path, ignored);
            code.clear();
            fs::rename(temporary, files[i].path, code);
        }
        if (code) {
            RemoveTemporaries(files, files.size());
            error = Utf8FromPath(files[i].path) + ": the file cannot be replaced (" +
                    code.message() + ")";
            return -1;
        }
    }
    return 0;
}

} // namespace quillon
