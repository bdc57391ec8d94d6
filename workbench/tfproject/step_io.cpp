#include "shell/messages.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "tfproject/tf_files.h"
#include "workbench.h"

namespace corelith {

std::string SpeciesCode(const std::string& name) {
    std::string code(CutText(name, kSpeciesCodeLength));
    code.resize(kSpeciesCodeLength, ' ');
    return code;
}

void FormSpeciesCodes(SpeciesList& species, int speciesCount) {
    if (species.codes.size() < species.names.size())
        species.codes.resize(species.names.size());
    for (int s = 1; s <= speciesCount; ++s)
        species.codes[static_cast<size_t>(s)] = SpeciesCode(species.names[static_cast<size_t>(s)]);
}

void WriteCensusBlock(LineWriter& out, int speciesCount, int sampleCount,
                      const SpeciesList& species, const SampleTable& samples, int dataFormat) {
    const double scale = dataFormat >= 1 ? 1000.0 : 1.0;
    for (int sample = 1; sample <= sampleCount && !out.Failed(); ++sample) {
        out.Put(samples.names[static_cast<size_t>(sample)] + "\n");
        for (int s = 1; s <= speciesCount; ++s) {
            const double value = static_cast<double>(samples.Value(sample, s)) * scale;
            out.Put(species.codes[static_cast<size_t>(s)] + FormatC("%5.0f\n", value));
        }
    }
}

int OpenInputTable(Workbench& wb, const char* dialogTitle, std::FILE*& file,
                   std::string& fileTitle) {
    SetFileFilter(wb, wb.settings.lastFilter);
    std::string path;
    std::string folder;
    if (!SelectFileToOpen(wb, path, folder, fileTitle, dialogTitle))
        return 1;
    file = OpenForReading(path, "rb");
    if (file == nullptr)
        return -1;
    UpdateLastFilter(wb, fileTitle);
    return 0;
}

SaveResult SaveParameterFile(Workbench& wb, const std::string& inputTitle, const char* extension,
                             int filterIndex, const char* dialogTitle, std::string& storedPath,
                             const char* failedText, const std::function<int(LineWriter&)>& write) {
    std::string path = DeriveOutputName(inputTitle, extension);
    std::string folder;
    std::string title;
    SetFileFilter(wb, filterIndex);
    if (!SelectFileToSave(wb, path, folder, title, dialogTitle))
        return SaveResult::Cancelled;
    LineWriter file(path);
    if (!file.IsOpen())
        return SaveResult::NotCreated;
    ShowWaitCursor(wb.platform);
    const int written = write(file);
    // Text still buffered at the close can fail too (a full disk); that is a failed write.
    const int closed = file.Close();
    ShowArrowCursor(wb.platform);
    if (written != 0 || closed != 0) {
        storedPath = failedText;
        return SaveResult::WriteFailed;
    }
    storedPath = path;
    return SaveResult::Written;
}

int SaveStepResult(SaveResult result, int notCreated) {
    switch (result) {
    case SaveResult::Written:
        return 0;
    case SaveResult::Cancelled:
        return 2;
    case SaveResult::NotCreated:
        return notCreated;
    case SaveResult::WriteFailed:
        break;
    }
    return notCreated - 1;
}

bool IsProjectSlot(int slot) {
    return slot >= 1 && slot < kSlotCount;
}

int ShowStopMessage(Workbench& wb, const std::string& text) {
    wb.platform.ShowMessage(0, kProgramTitle, text, MessageIcon::Stop, true);
    return -1;
}

} // namespace corelith
