// The dialog templates of the workbench: the layout of every modal dialog, in dialog units,
// as plain data in the platform's types. The front ends hand FindDialogTemplate to their
// backend, which builds its dialogs from them.
#pragma once

#include "platform/dialog_template.h"

#include <string_view>
#include <vector>

namespace corelith {

// Looks a template up by resource name, without regard to case; nullptr when unknown.
// A DialogTemplateLookup.
const DialogTemplate* FindDialogTemplate(std::string_view resource);

// Each group of dialogs lives in its own file; FindDialogTemplate searches them all.
const std::vector<DialogTemplate>&
ShellDialogTemplates(); // FORMATSPECIES, FORMATDATA, USEDTOOLS, AboutBox
const std::vector<DialogTemplate>& TfProjectDialogTemplates(); // CAPFACOPTIONS, REGRESSOPTIONS
const std::vector<DialogTemplate>& RankingDialogTemplates();   // the certain factor dialog
const std::vector<DialogTemplate>&
CountingDialogTemplates(); // COUNTINGDIALOG, the name dialogs, RECOVERCOUNTING

} // namespace corelith
