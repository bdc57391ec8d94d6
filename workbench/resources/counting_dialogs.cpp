#include "resources/dialog_templates.h"

namespace corelith {

namespace {

using K = ControlKind;

// The sample and species name dialogs share one frame: the entry's number, its name
// field, "Cancel" at the lower left and "OK" (default) at the lower right.
DialogTemplate NameDialogTemplate(const char* resource, const char* caption, const char* what,
                                  int numberId, int nameId) {
    const std::string subject = what;
    return {resource,
            caption,
            200,
            68,
            {
                {K::Label, -1, subject + " ID", 7, 9, 48, 8},
                {K::Label, numberId, "", 58, 9, 40, 8},
                {K::Label, -1, subject + " name", 7, 27, 48, 8},
                {K::Edit, nameId, "", 58, 25, 135, 12},
                {K::Button, 2, "Cancel", 7, 47, 50, 14},
                {K::DefaultButton, 1, "OK", 143, 47, 50, 14},
            }};
}

} // namespace

const std::vector<DialogTemplate>& CountingDialogTemplates() {
    // The counting dialog: three fields on the left with their captions, the New.../Edit...
    // buttons on the right, the result lines across the full width, and Save, Stop and
    // Count along the bottom. Names and result lines have room to wrap: two names of 63
    // characters make the count line three lines long.
    static const std::vector<DialogTemplate> templates = {
        {"COUNTINGDIALOG",
         "Counting dialog",
         288,
         237,
         {
             {K::Label, -1, "Sample ID", 10, 12, 50, 8},
             {K::Edit, 1140, "", 65, 10, 45, 12},
             {K::Button, 1148, "New...", 228, 9, 50, 14},
             {K::Label, -1, "Sample name", 10, 30, 50, 8},
             {K::Label, 1141, "Sample name", 65, 30, 158, 16},
             {K::Button, 1147, "Edit...", 228, 27, 50, 14},
             {K::Label, 1170, "Diversity index:", 10, 50, 268, 8},

             {K::Label, -1, "Species ID", 10, 70, 50, 8},
             {K::Edit, 1142, "", 65, 68, 45, 12},
             {K::Button, 1149, "New...", 228, 67, 50, 14},
             {K::Label, -1, "Species name", 10, 88, 50, 8},
             {K::Label, 1143, "Species name", 65, 88, 158, 16},
             {K::Button, 1150, "Edit...", 228, 85, 50, 14},

             {K::Label, -1, "Increment", 10, 116, 50, 8},
             {K::Edit, 1144, "", 65, 114, 45, 12},

             {K::Label, 1146, "counted individuals:", 10, 140, 268, 26},
             {K::Label, 1145, "total individuals:", 10, 172, 268, 18},

             {K::Button, 1169, "Save", 10, 212, 50, 14},
             {K::Button, 2, "Stop", 119, 212, 50, 14},
             {K::DefaultButton, 1, "Count", 228, 212, 50, 14},
         }},
        NameDialogTemplate("EDITSAMPLENAME", "Edit sample name", "Sample", 1140, 1141),
        NameDialogTemplate("NEWSAMPLE", "New sample", "Sample", 1140, 1141),
        NameDialogTemplate("EDITSPECIESNAME", "Edit species name", "Species", 1142, 1143),
        NameDialogTemplate("NEWSPECIES", "New species", "Species", 1142, 1143),
        // Asked when the output chosen has the journal of an unfinished session: the
        // question (set by the dialog) above, Cancel, Start anew and Recover (default) below.
        {"RECOVERCOUNTING",
         "Unfinished counting session",
         230,
         96,
         {
             {K::Label, 1171, "", 7, 7, 216, 60},
             {K::Button, 2, "Cancel", 7, 75, 50, 14},
             {K::Button, 1172, "Start anew", 90, 75, 50, 14},
             {K::DefaultButton, 1, "Recover", 173, 75, 50, 14},
         }},
    };
    return templates;
}

} // namespace corelith
