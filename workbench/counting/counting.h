// "Counting...": counting specimens under the microscope over a frequency matrix.
#pragma once

#include "platform/dialog.h"
#include "tables/tables.h"
#include "textio/line_writer.h"

#include <cstdio>
#include <string>
#include <vector>

namespace corelith {

struct Workbench;

// Command 64. Returns 0 when done or the first dialog was cancelled, -1 input not opened,
// -2 output not created, -3 diversity file not created, -4 "Save as" cancelled.
int CountSpecimens(Workbench& wb);

// Reads the matrix from `input` in `layout`, runs the counting dialog and writes the matrix
// to `output` and, with the diversity row, to `diversity`; then saves the settings. Returns
// 0, or -2 / -3 when the output / diversity file could not be written so far (the caller
// closes them). `openPaths` names the files open for writing, which no interim file may
// overwrite.
int CountingRun(Workbench& wb, SpeciesLayout layout, std::FILE* input, LineWriter& output,
                LineWriter& diversity, const std::vector<std::string>& openPaths = {});

// Writes the whole matrix of the first `speciesCount` species and `sampleCount` samples.
// Returns 0, or -1 when the file could not be written.
int WriteMatrix(Workbench& wb, LineWriter& out, SpeciesLayout layout, int speciesCount,
                int sampleCount, const SpeciesList& species, const SampleTable& samples);

// The line that follows the matrix in the diversity file: an empty cell, "Diversity index"
// and one index per sample. Returns 0 or -1.
int WriteDiversityRow(Workbench& wb, LineWriter& out, int speciesCount, int sampleCount,
                      const SampleTable& samples);

// Shannon index (natural logarithms) of sample `sample` over species 1..speciesCount;
// -1 when the sample holds no positive total.
double DiversityIndex(int sample, int speciesCount, const SampleTable& samples);

// "%G" of the value with the decimal separator the flag asks for (1 ",", 0 ".").
std::string NumberToLabelText(double value, int decimalCommaFlag);

// State of one counting run.
struct CountingState {
    int speciesCount = 0;
    int sampleCount = 0;
    int currentSample = 0;
    int currentSpecies = 0;
    float increment = 1.0f;
    int previousSample = 0;
    int previousSpecies = 0;
    std::vector<std::string> openPaths; // files the run writes at its end
};

// Writes the next interim file "Temp" + n + ".txt" into the working folder, species in
// column. Returns the number n used; the file is silently skipped when it cannot be created.
// A number whose file is one of the run's open files is passed over.
int SaveInterimFile(Workbench& wb, const CountingState& state);

// Control ids of the counting dialog and the name dialogs.
enum CountingControl {
    kIdSampleNumber = 1140,
    kIdSampleName = 1141,
    kIdSpeciesNumber = 1142,
    kIdSpeciesName = 1143,
    kIdIncrement = 1144,
    kIdTotalLine = 1145,
    kIdCountLine = 1146,
    kIdEditSample = 1147,
    kIdNewSample = 1148,
    kIdNewSpecies = 1149,
    kIdEditSpecies = 1150,
    kIdSave = 1169,
    kIdDiversityLine = 1170,
};

inline constexpr char kNewSpeciesName[] = "Globigerina eleonoides";

// "COUNTINGDIALOG": every Count adds the increment to the current species of the
// current sample; Stop (also Escape and the close box) ends the run.
class CountingDialog final : public DialogModel {
  public:
    CountingDialog(Workbench& wb, CountingState& state) : wb_(wb), state_(state) {}

    std::string Resource() const override { return "COUNTINGDIALOG"; }
    void OnInit(DialogControls& controls) override;
    void OnCommand(DialogControls& controls, int id, Notification what) override;
    ScriptBinding Script() const override;

    struct Axis; // the sample or the species side of the dialog

  private:
    Axis SampleAxis();
    Axis SpeciesAxis();
    void SetText(DialogControls& controls, int id, const std::string& text);
    void TakeNumberField(DialogControls& controls, const Axis& axis, bool opening);
    void TakeIncrementField(DialogControls& controls);
    void Count(DialogControls& controls);
    void EditName(DialogControls& controls, const Axis& axis);
    void NewEntry(DialogControls& controls, const Axis& axis);
    void RefreshResultLines(DialogControls& controls);

    Workbench& wb_;
    CountingState& state_;
    bool settingText_ = false; // notifications caused by the model's own SetText are ignored
};

// "EDITSAMPLENAME", "NEWSAMPLE", "EDITSPECIESNAME" and "NEWSPECIES".
class NameDialog final : public DialogModel {
  public:
    enum class Subject { Sample, Species };
    NameDialog(Workbench& wb, CountingState& state, Subject subject, bool isNew)
        : wb_(wb), state_(state), subject_(subject), isNew_(isNew) {}

    std::string Resource() const override;
    void OnInit(DialogControls& controls) override;
    void OnCommand(DialogControls& controls, int id, Notification what) override;
    ScriptBinding Script() const override;

    bool Confirmed() const { return confirmed_; }
    // Takes back the entry a "New" dialog added when it closed without OK. Called by the
    // dialog's own Cancel and again by its caller, in case the dialog was closed otherwise.
    void WithdrawNewEntry();

  private:
    int& Count() const;
    int& Current() const;
    std::string& Name(int index) const;

    Workbench& wb_;
    CountingState& state_;
    Subject subject_;
    bool isNew_;
    bool grown_ = false;
    bool confirmed_ = false;
};

} // namespace corelith
