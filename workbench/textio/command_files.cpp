#include "textio/command_files.h"

#include "shell/messages.h"
#include "textio/file_layer.h"
#include "textio/paths.h"
#include "workbench.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace corelith {

namespace fs = std::filesystem;

std::FILE* OpenInputFile(Workbench& wb, const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(NativePath(path), error);
    if (status.type() == fs::file_type::not_found || path.empty()) {
        ShowFileError(wb.platform, kMsgFileNotFound, path);
        return nullptr;
    }
    std::string refused;
    if (error)
        refused = error.message();
    else if (fs::is_directory(status))
        refused = "It is a folder, not a file";
    else if (!fs::is_regular_file(status))
        refused = "It is not a regular file (a device or a pipe), and only files are read";
    if (!refused.empty()) {
        ReportFileError(wb.platform, path, FileAction::Read, refused);
        return nullptr;
    }
    errno = 0;
    std::FILE* file = OpenForReading(path, "rb");
    if (file == nullptr) {
        const int reason = errno;
        ReportFileError(wb.platform, path, FileAction::Read,
                        reason != 0 ? std::strerror(reason) : "The file cannot be opened");
        return nullptr;
    }
    wb.inputsRead.push_back(path);
    return file;
}

bool RefuseInputAsOutput(Workbench& wb, const std::string& path) {
    for (const std::string& input : wb.inputsRead) {
        if (IsSameFile(path, input)) {
            ShowOutputIsInput(wb.platform, path, input);
            return true;
        }
    }
    return false;
}

bool OpenOutputFile(Workbench& wb, LineWriter& out, const std::string& path) {
    if (RefuseInputAsOutput(wb, path))
        return false;
    if (out.Open(path))
        return true;
    ReportFileError(wb.platform, path, FileAction::Write, out.Reason());
    return false;
}

int CloseOutputFile(Workbench& wb, LineWriter& out) {
    if (out.Close() == 0)
        return 0;
    return ReportFileError(wb.platform, out.Path(), FileAction::Write, out.Reason());
}

} // namespace corelith
