#include "workbench.h"

#include "shell/messages.h"
#include "textio/paths.h"

#include <filesystem>
#include <system_error>

namespace corelith {

void StartWorkbench(Workbench& wb) {
    AllocateTables(wb.tables);
    wb.settings = Settings{};
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    if (!error) {
        wb.workingFolder = Utf8Path(here);
        if (wb.workingFolder.empty() || wb.workingFolder.back() != PathSeparator())
            wb.workingFolder += PathSeparator();
    }
    LoadSettings(wb);
    ShowArrowCursor(wb.platform);
}

} // namespace corelith
