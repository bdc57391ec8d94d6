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

ScriptedControl::Kind ScriptedKind(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return ScriptedControl::Kind::Label;
    case ControlKind::Edit:
        return ScriptedControl::Kind::Edit;
    case ControlKind::Button:
    case ControlKind::DefaultButton:
        return ScriptedControl::Kind::Button;
    case ControlKind::Radio:
        return ScriptedControl::Kind::Radio;
    case ControlKind::Check:
        return ScriptedControl::Kind::Check;
    case ControlKind::Group:
        break;
    }
    return ScriptedControl::Kind::Other;
}

bool DescribeDialog(const std::string& resource, std::vector<ScriptedControl>& controls) {
    const DialogTemplate* found = FindDialogTemplate(resource);
    if (found == nullptr)
        return false;
    controls.clear();
    for (const ControlTemplate& control : found->controls)
        controls.push_back({control.id, ScriptedKind(control.kind), control.text});
    return true;
}

} // namespace

DialogLookup TemplateDialogLookup() {
    return DescribeDialog;
}

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
