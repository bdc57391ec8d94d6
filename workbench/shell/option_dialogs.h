// The three option dialogs "Format of species", "Format of data" and "Used tools". Each
// edits working copies and, only on OK, stores them and saves the settings file.
#pragma once

namespace corelith {

struct Workbench;

// Each returns 1 after OK, 0 after Cancel.
int FormatOfSpecies(Workbench& wb, int& speciesFormat);
int FormatOfData(Workbench& wb, int& dataFormat);
int UsedTools(Workbench& wb, int& usedCapFac, int& usedRegress, int& usedThread);

// Radio ids of every two-choice dialog.
inline constexpr int kFirstChoiceId = 1164;
inline constexpr int kSecondChoiceId = 1165;

// The two-choice dialog behind Format of species and Format of data, for any template with
// the radio buttons 1164 and 1165 (the Regress options dialog behaves the same way): opens
// on the first choice when `value` is below 1, else on the second; after OK `value` becomes
// 0 or 1 and the settings are saved. Returns 1 after OK, 0 after Cancel.
int TwoChoiceDialog(Workbench& wb, const char* resource, int& value);

} // namespace corelith
