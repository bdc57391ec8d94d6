#include "resources/dialog_templates.h"

namespace corelith {

const std::vector<DialogTemplate>& CountingDialogTemplates() {
    static const std::vector<DialogTemplate> templates = {};
    return templates;
}

} // namespace corelith
