#include "tables/readers.h"
#include "textio/file_layer.h"
#include "tfproject/tf_files.h"
#include "workbench.h"

namespace corelith {

int WriteCapFacFile(LineWriter& out, int speciesCount, int sampleCount, SpeciesList& species,
                    const SampleTable& samples, const ProjectSlot& project) {
    // The labels are read by the outside program by position: each label with its blanks is
    // 25 characters wide, then the colon.
    out.Put(project.projectName + "\n");
    out.Put(FormatC("Anzahl der Arten         :%8d\n", speciesCount));
    out.Put(FormatC("Anzahl der Proben        :%8d\n", sampleCount));
    out.Put(FormatC("(%%) der Matrix besetzt   :   100.0\n"));
    out.Put(FormatC("Transformationskontrolle :%8d\n", project.capFac[1]));
    out.Put(FormatC("Faktorenanzahl           :%8d\n", project.capFac[5]));
    out.Put(FormatC("Ausgabekontrolle         :%8d\n", project.capFac[2]));
    out.Put(FormatC("Exitkontrolle            :%8d\n", project.capFac[3]));
    out.Put(FormatC("Plotkontrolle            :%8d\n", project.capFac[4]));
    out.Put("Bezeichnung der Arten    :\n");
    FormSpeciesCodes(species, speciesCount);
    for (int s = 1; s <= speciesCount; ++s)
        out.Put(species.codes[static_cast<size_t>(s)] + "\n");
    out.Put("Kernbezeichnung + Artenzahl\n");
    WriteCensusBlock(out, speciesCount, sampleCount, species, samples, project.dataFormat);
    return out.Status();
}

int BuildCapFacFile(Workbench& wb, int& sampleCount, int& speciesCount, int projectNumber) {
    ProjectSlot& project = wb.settings.slots[static_cast<size_t>(projectNumber)];
    std::FILE* input = nullptr;
    std::string inputTitle;
    if (const int opened = OpenInputTable(wb, "Select reference file", input, inputTitle);
        opened != 0)
        return opened;

    int species = 0;
    int samples = 0;
    const int read = ReadReferenceTable(wb, input, LayoutOfSpeciesFormat(project.speciesFormat),
                                        species, samples, wb.tables.species, wb.tables.reference);
    CloseFile(input);
    if (read != 0)
        return -2;

    const int saved = SaveStepResult(
        SaveParameterFile(wb, inputTitle, ".cap", 3, "Save *.cap file", project.firstPath,
                          "No CapFac file",
                          [&](LineWriter& file) {
                              return WriteCapFacFile(file, species, samples, wb.tables.species,
                                                     wb.tables.reference, project);
                          }),
        -3);
    if (saved == 0) {
        sampleCount = samples;
        speciesCount = species;
    }
    return saved;
}

} // namespace corelith
