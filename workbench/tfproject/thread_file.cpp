#include "shell/messages.h"
#include "tables/readers.h"
#include "textio/file_layer.h"
#include "tfproject/tf_files.h"
#include "workbench.h"

namespace corelith {

int WriteThreadFile(LineWriter& out, int speciesCount, int sampleCount, SpeciesList& species,
                    const SampleTable& coreSamples, const ProjectSlot& project) {
    FormSpeciesCodes(species, speciesCount);
    out.Put(FormatC("Samples%6d\n", sampleCount));
    WriteCensusBlock(out, speciesCount, sampleCount, species, coreSamples, project.dataFormat);
    return out.Status();
}

int BuildThreadFile(Workbench& wb, int checkAgainstReference, int referenceSpeciesCount,
                    int projectNumber) {
    ProjectSlot& project = wb.settings.slots[static_cast<size_t>(projectNumber)];
    std::FILE* input = nullptr;
    std::string inputTitle;
    if (const int opened = OpenInputTable(wb, "Select core file", input, inputTitle); opened != 0)
        return opened;

    int species = 0;
    int samples = 0;
    const CoreReadMode mode = checkAgainstReference == 1 ? CompareSpecies : Plain;
    const int read = ReadCoreTable(wb, input, LayoutOfSpeciesFormat(project.speciesFormat), mode,
                                   species, samples, wb.tables.species, wb.tables.core);
    CloseFile(input);
    if (read != 0)
        return -2;
    if (checkAgainstReference == 1 && species != referenceSpeciesCount) {
        ShowFileError(wb.platform, kMsgSpeciesCountDiffers, "");
        return -3;
    }

    return SaveStepResult(SaveParameterFile(wb, inputTitle, ".thr", 5, "Save *.thr file",
                                            project.secondPath, "No Thread file",
                                            [&](LineWriter& file) {
                                                return WriteThreadFile(file, species, samples,
                                                                       wb.tables.species,
                                                                       wb.tables.core, project);
                                            }),
                          -4);
}

} // namespace corelith
