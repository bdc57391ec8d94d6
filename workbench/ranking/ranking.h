// The Ranking menu: stepwise and logarithmic ranking systems and the rank database.
#pragma once

#include "platform/dialog.h"
#include "tables/tables.h"
#include "textio/line_writer.h"

#include <string>
#include <vector>

namespace corelith {

struct Workbench;

int CreateStepwiseRanking(Workbench& wb);    // command 41
int CreateRankDatabase(Workbench& wb);       // command 42
int CreateLogarithmicRanking(Workbench& wb); // command 43

// Results of the three commands (the menu ignores them).
inline constexpr int kRankingDone = 0;      // written, or cancelled in a dialog
inline constexpr int kRankingNoInput = -1;  // an input could not be opened or read
inline constexpr int kRankingNoOutput = -2; // an output could not be created or written
inline constexpr int kRankingMismatch = -3; // ranking system and data differ in species

// The writers. The census table's last species is each sample's total; it is left out.
// Each returns 0, or -1 when a line could not be written.
int WriteStepwiseRanking(LineWriter& out, int speciesCount, int sampleCount,
                         const SpeciesList& species, const SampleTable& samples);
int WriteLogarithmicRanking(LineWriter& out, SpeciesLayout layout, float certainFactor,
                            int speciesCount, int sampleCount, const SpeciesList& species,
                            const SampleTable& samples);
// `samples` holds percentages (species 1..speciesCount), `limits` the class limits: its
// "sample" k is limit k of every species.
int WriteRankDatabase(LineWriter& out, int speciesCount, int sampleCount, int limitCount,
                      const SpeciesList& species, const SampleTable& samples,
                      const SampleTable& limits);

// Class of a percentage against the limits T1..TL of one species: 0 up to T1, k - 1 up to
// Tk, L above the last. An undefined percentage is always class 0.
int RankClass(float percentage, const std::vector<float>& limits);

// The "Certain factor" dialog.
inline constexpr char kCertainFactorResource[] = "CERTAINFACTOR";
inline constexpr int kCertainFactorField = 1180;

class CertainFactorDialog : public DialogModel {
  public:
    CertainFactorDialog(float value, int& decimalCommaFlag)
        : value_(value), decimalCommaFlag_(decimalCommaFlag) {}

    std::string Resource() const override { return kCertainFactorResource; }
    void OnInit(DialogControls& controls) override;
    void OnCommand(DialogControls& controls, int id, Notification what) override;
    ScriptBinding Script() const override;

    float Value() const { return value_; }

  private:
    float value_;
    int& decimalCommaFlag_;
};

// Shows the dialog on the certain factor; OK stores the value and saves the settings.
// Returns 1 after OK, 0 after Cancel.
int EditCertainFactor(Workbench& wb);

} // namespace corelith
