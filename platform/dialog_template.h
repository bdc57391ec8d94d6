// Dialog templates: the layout of a modal dialog in dialog units, as plain data. Every
// backend builds its dialogs from them: the desktop its widgets, the scripted backend its
// record of which controls exist and what they start with. The workbench owns its
// templates and hands each backend a lookup, so no backend knows the workbench.
#pragma once

#include "platform/dialog.h" // kIdOk and kIdCancel of the templates

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corelith {

enum class ControlKind {
    Label,         // static text
    Edit,          // single-line edit field
    Button,        // push button
    DefaultButton, // push button pressed by Enter
    Radio,         // auto radio button; radio buttons that follow one another form one group
    Check,         // auto check box
    Group,         // group box frame
};

struct ControlTemplate {
    ControlKind kind = ControlKind::Label;
    int id = -1; // -1 for static captions that are never addressed
    std::string text;
    int x = 0, y = 0, width = 0, height = 0; // dialog units
};

struct DialogTemplate {
    std::string resource;      // upper-case resource name, e.g. "FORMATSPECIES"
    std::string caption;       // empty: no caption bar
    int width = 0, height = 0; // dialog units
    std::vector<ControlTemplate> controls;
};

// The template of a dialog resource (looked up without regard to case), or nullptr when
// there is none. The templates outlive every dialog built from them.
using DialogTemplateLookup = std::function<const DialogTemplate*(std::string_view resource)>;

} // namespace corelith
