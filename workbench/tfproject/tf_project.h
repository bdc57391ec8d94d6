// "New Transfer Function Project...": the CapFac, Regress and Thread parameter files and
// the project file read by the outside transfer-function program.
#pragma once

#include "shell/option_dialogs.h"

namespace corelith {

struct Workbench;

// Control ids of the "CAPFACOPTIONS" and "REGRESSOPTIONS" dialogs (OK and Cancel are 1 and 2).
inline constexpr int kIdFactorCount = 1166; // edit field "Number of factors"
// The Regress options dialog is a two-choice dialog: its radio buttons carry the two-choice ids.
inline constexpr int kIdLinearRegression = kFirstChoiceId;     // radio "linear regression"
inline constexpr int kIdQuadraticRegression = kSecondChoiceId; // radio "quadratic regression"

// Returns 0 when the project file was written (or the first dialog was cancelled),
// -1..-9 when a later dialog was cancelled, -10/-11 project file errors, -20..-22 step errors.
int BuildTransferFunctionProject(Workbench& wb, int projectNumber);

// The options dialogs (Options menu on slot 1, and inside the builder). 1 after OK, 0 after Cancel.
int CapFacOptions(Workbench& wb, int slot);
int RegressOptions(Workbench& wb, int slot);

} // namespace corelith
