#include "resources/dialog_templates.h"
#include "tfproject/tf_project.h"

namespace corelith {

// The options dialogs of the transfer-function project: the 123 x 74 frame of the option
// dialogs, "Cancel" at the lower left and the default "OK" at the lower right.
const std::vector<DialogTemplate>& TfProjectDialogTemplates() {
    static const std::vector<DialogTemplate> templates = {
        {"CAPFACOPTIONS",
         "CapFac options",
         123,
         74,
         {
             {ControlKind::Label, -1, "Number of factors", 10, 16, 64, 10},
             {ControlKind::Edit, kIdFactorCount, "", 78, 14, 34, 13},
             {ControlKind::Button, kIdCancel, "Cancel", 10, 50, 45, 14},
             {ControlKind::DefaultButton, kIdOk, "OK", 68, 50, 45, 14},
         }},
        {"REGRESSOPTIONS",
         "Regress options",
         123,
         74,
         {
             {ControlKind::Radio, kIdLinearRegression, "linear regression", 14, 10, 95, 12},
             {ControlKind::Radio, kIdQuadraticRegression, "quadratic regression", 14, 26, 95, 12},
             {ControlKind::Button, kIdCancel, "Cancel", 10, 50, 45, 14},
             {ControlKind::DefaultButton, kIdOk, "OK", 68, 50, 45, 14},
         }},
    };
    return templates;
}

} // namespace corelith
