#include "resources/dialog_templates.h"

#include <cctype>

namespace corelith {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

const DialogTemplate* FindDialogTemplate(std::string_view resource) {
    for (const auto* group : {&ShellDialogTemplates(), &TfProjectDialogTemplates(),
                              &RankingDialogTemplates(), &CountingDialogTemplates()}) {
        for (const DialogTemplate& t : *group) {
            if (SameIgnoringCase(t.resource, resource))
                return &t;
        }
    }
    return nullptr;
}

} // namespace corelith
