#include "resources/dialog_templates.h"

namespace corelith {

const std::vector<DialogTemplate>& TfProjectDialogTemplates() {
    static const std::vector<DialogTemplate> templates = {};
    return templates;
}

} // namespace corelith
