#include "resources/dialog_templates.h"

namespace corelith {

// The certain factor of the logarithmic ranking: one edit field (id 1180), OK at the lower
// right and Cancel at the lower left, as in the option dialogs.
const std::vector<DialogTemplate>& RankingDialogTemplates() {
    static const std::vector<DialogTemplate> templates = {
        {"CERTAINFACTOR",
         "Certain factor",
         123,
         60,
         {
             {ControlKind::Label, -1, "certain factor", 8, 12, 50, 8},
             {ControlKind::Edit, 1180, "", 62, 10, 52, 12},
             {ControlKind::Button, 2, "Cancel", 8, 38, 45, 14},
             {ControlKind::DefaultButton, 1, "OK", 70, 38, 45, 14},
         }},
    };
    return templates;
}

} // namespace corelith
