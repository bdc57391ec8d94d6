#include "resources/dialog_templates.h"

namespace corelith {

namespace {

// The three option dialogs share one frame: 123 x 74 units, Cancel at the lower left and
// the default OK button at the lower right.
DialogTemplate OptionDialog(const char* resource, const char* caption,
                            std::vector<ControlTemplate> choices) {
    DialogTemplate t{resource, caption, 123, 74, std::move(choices)};
    t.controls.push_back({ControlKind::Button, 2, "Cancel", 7, 53, 50, 14});
    t.controls.push_back({ControlKind::DefaultButton, 1, "OK", 66, 53, 50, 14});
    return t;
}

} // namespace

const std::vector<DialogTemplate>& ShellDialogTemplates() {
    static const std::vector<DialogTemplate> templates = {
        OptionDialog("FORMATSPECIES", "Format of species",
                     {{ControlKind::Radio, 1164, "Species names in column", 14, 12, 100, 10},
                      {ControlKind::Radio, 1165, "Species names in line", 14, 28, 100, 10}}),
        OptionDialog("FORMATDATA", "Format of data",
                     {{ControlKind::Radio, 1164, "raw data", 14, 12, 100, 10},
                      {ControlKind::Radio, 1165, "percent data", 14, 28, 100, 10}}),
        OptionDialog("USEDTOOLS", "Used tools",
                     {{ControlKind::Check, 1161, "CapFac", 14, 7, 90, 10},
                      {ControlKind::Check, 1162, "Regress", 14, 21, 90, 10},
                      {ControlKind::Check, 1163, "Thread", 14, 35, 90, 10}}),
        {"AboutBox",
         "",
         164,
         122,
         {{ControlKind::Label, -1, "Corelith", 12, 12, 140, 10},
          {ControlKind::Label, -1, "Author: the Corelith developers", 12, 30, 140, 10},
          {ControlKind::Label, -1, "Institution: Corelith project", 12, 46, 140, 10},
          {ControlKind::Label, -1, "Contact: see README.md", 12, 62, 140, 10},
          {ControlKind::DefaultButton, 1, "OK", 57, 96, 50, 14}}},
    };
    return templates;
}

} // namespace corelith
