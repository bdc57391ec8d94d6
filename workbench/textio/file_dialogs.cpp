#include "textio/file_dialogs.h"

#include "shell/messages.h"
#include "tables/readers.h"
#include "textio/paths.h"
#include "workbench.h"

namespace corelith {

namespace {

// The length of the workbench's path buffers; a longer path could not be held.
constexpr long kMaxPathLength = 516;

const FileFilter kTxt{"Text files (*.txt)", "*.txt"};
const FileFilter kCsv{"Text files (*.csv)", "*.csv"};
const FileFilter kAll{"All files (*.*)", "*.*"};

int SelectFile(Workbench& wb, bool save, std::string& path, std::string& folderOut,
               std::string& titleOut, const std::string& dialogTitle) {
    FileDialogRequest request;
    request.save = save;
    request.title = dialogTitle;
    request.filters = FilterList(wb.filterIndex);
    if (wb.filterIndex == kSvgFilter)
        request.defaultExtension = "svg";
    request.initialPath = path;
    // A proposed name with a folder (such as a path from the command line) opens the
    // dialog in that folder.
    request.currentFolder = IsAbsolutePath(path) ? FolderOf(path) : wb.workingFolder;
    std::string chosen;
    if (!wb.platform.SelectFile(request, chosen))
        return 0;
    if (static_cast<long>(chosen.size()) > kMaxPathLength) {
        ShowPathTooLong(wb.platform, chosen, kMaxPathLength);
        return 0;
    }
    path = chosen;
    folderOut = FolderOf(chosen);
    titleOut = FileNameOf(chosen);
    if (!folderOut.empty())
        wb.workingFolder = folderOut;
    return 1;
}

} // namespace

std::vector<FileFilter> FilterList(int index) {
    auto withCommon = [](FileFilter first) {
        return std::vector<FileFilter>{std::move(first), kTxt, kCsv, kAll};
    };
    switch (index) {
    case 1:
        return {kTxt, kCsv, kAll};
    case 2:
        return {kCsv, kTxt, kAll};
    case 3:
        return withCommon({"CapFac files (*.cap)", "*.cap"});
    case 4:
        return withCommon({"Regress files (*.reg)", "*.reg"});
    case 5:
        return withCommon({"Thread files (*.thr)", "*.thr"});
    case 7:
        return withCommon({"HM files (*.HM)", "*.HM"});
    case 8:
        return withCommon({"DB files (*.N)", "*.N"});
    case 9:
        return withCommon({"RS files (*.RS)", "*.RS"});
    case 10:
        return withCommon({"R files (*.R)", "*.R"});
    case 11:
        return withCommon({"Project files (*.PRO)", "*.PRO"});
    case 12:
        return withCommon({"Project files (*.REF)", "*.ref"});
    case 13:
        return withCommon({"Project files (*.ENV)", "*.env"});
    case 14:
        return withCommon({"Project files (*.SAM)", "*.sam"});
    case 15:
        return {{"Program files (*.EXE)", "*.exe"}, kAll};
    case kSvgFilter:
        return {{"SVG pictures (*.svg)", "*.svg"}, kAll};
    default:
        return {{"All Files (*.*)", "*.*"}, kTxt, kCsv};
    }
}

void SetFileFilter(Workbench& wb, int filterIndex) {
    wb.filterIndex = filterIndex;
}

int SelectFileToOpen(Workbench& wb, std::string& path, std::string& folderOut,
                     std::string& titleOut, const std::string& dialogTitle) {
    return SelectFile(wb, false, path, folderOut, titleOut, dialogTitle);
}

int SelectFileToSave(Workbench& wb, std::string& path, std::string& folderOut,
                     std::string& titleOut, const std::string& dialogTitle) {
    return SelectFile(wb, true, path, folderOut, titleOut, dialogTitle);
}

void UpdateLastFilter(Workbench& wb, const std::string& fileTitle) {
    int filter = 6;
    if (fileTitle.find(".txt") != std::string::npos || fileTitle.find(".TXT") != std::string::npos)
        filter = 1;
    if (fileTitle.find(".csv") != std::string::npos || fileTitle.find(".CSV") != std::string::npos)
        filter = 2;
    wb.settings.lastFilter = filter;
}

std::string DeriveOutputName(const std::string& fileTitle, const std::string& extension) {
    std::string name = fileTitle + extension;
    for (const char* doubled : {".txt.", ".TXT.", ".csv.", ".CSV."})
        ReplaceAll(name, doubled, ".");
    return name;
}

} // namespace corelith
