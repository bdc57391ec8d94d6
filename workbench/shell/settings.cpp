#include "shell/settings.h"

#include "shell/messages.h"
#include "tables/readers.h"
#include "textio/file_layer.h"
#include "textio/line_writer.h"
#include "textio/numbers.h"
#include "textio/paths.h"
#include "workbench.h"

#include <climits>
#include <filesystem>
#include <system_error>

namespace corelith {

namespace {

constexpr size_t kMaxSettingsText = 516;

// Scans "%d" or "%f" the way the file's line 2 is scanned: blanks (the tabs of the
// format) are skipped before each value, and the scan stops at the first mismatch.
bool ScanInt(std::string_view& rest, int& value) {
    const size_t length = LeadingNumberLength(rest, false);
    if (length == 0 || !ParseLeadingInt(rest, value))
        return false;
    rest.remove_prefix(length);
    return true;
}

bool ScanFloat(std::string_view& rest, float& value) {
    const size_t length = LeadingNumberLength(rest, true);
    if (length == 0 || !ParseLeadingFloat(rest, value))
        return false;
    rest.remove_prefix(length);
    return true;
}

void ScanValues(std::string_view line, ProjectSlot& slot, Settings& settings) {
    int* before[] = {&slot.dataFormat,       &slot.speciesFormat, &slot.usedCapFac,
                     &slot.usedRegress,      &slot.usedThread,    &slot.numberOfFactors(),
                     &slot.regressionType(), &slot.reservedOption};
    for (int* target : before) {
        if (!ScanInt(line, *target))
            return;
    }
    if (!ScanFloat(line, settings.certainFactor))
        return;
    ScanInt(line, settings.lastFilter);
}

// A line counts only when it ends with a line end; longer texts are cut.
bool ReadSettingsLine(std::FILE* file, std::string& line) {
    if (ReadLine(file, line, INT_MAX) <= 0)
        return false;
    if (line.size() > kMaxSettingsText)
        line.resize(kMaxSettingsText);
    return true;
}

} // namespace

std::string SettingsFilePath(Workbench& wb) {
    return JoinPath(wb.platform.SettingsFolder(), kSettingsFileName);
}

int LoadSettings(Workbench& wb) {
    std::FILE* file = OpenForReading(SettingsFilePath(wb), "rb");
    if (file == nullptr) {
        SaveSettings(wb);
        return 0;
    }
    std::string line;
    if (ReadLine(file, line, INT_MAX) > 0) {
        int stamp = 0;
        if (!ParseLeadingInt(line, stamp) || stamp != kSettingsStamp) {
            CloseFile(file);
            SaveSettings(wb);
            return 0;
        }
    }
    if (ReadLine(file, line, INT_MAX) > 0)
        ScanValues(line, wb.settings.slots[1], wb.settings);
    wb.settings.freeText.clear();
    if (ReadSettingsLine(file, line))
        wb.settings.freeText = line;
    wb.settings.quillonPath.clear();
    if (ReadSettingsLine(file, line))
        wb.settings.quillonPath = line;
    wb.settings.marvanePath.clear();
    if (ReadSettingsLine(file, line))
        wb.settings.marvanePath = line;
    CloseFile(file);
    return 0;
}

int SaveSettings(Workbench& wb) {
    const std::string path = SettingsFilePath(wb);
    // A first run may find no settings folder yet.
    const std::string folder = FolderOf(path);
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(NativePath(folder), ignored);
    }
    LineWriter file(path);
    if (!file.IsOpen())
        return ShowSettingsNotSaved(wb.platform, path);
    ProjectSlot& slot = wb.settings.slots[1];
    const Settings& settings = wb.settings;
    file.Put(FormatC("%d%s", kSettingsStamp, "\n"));
    file.Put(FormatC("%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%f\t%d%s", slot.dataFormat,
                     slot.speciesFormat, slot.usedCapFac, slot.usedRegress, slot.usedThread,
                     slot.numberOfFactors(), slot.regressionType(), slot.reservedOption,
                     static_cast<double>(settings.certainFactor), settings.lastFilter, "\n"));
    for (const std::string* text :
         {&settings.freeText, &settings.quillonPath, &settings.marvanePath})
        file.Put(FormatC("%s%s", text->c_str(), "\n"));
    if (file.Close() != 0)
        return ShowSettingsNotSaved(wb.platform, path);
    return 0;
}

} // namespace corelith
