// Dialog templates: the layout of every modal dialog of the workbench, in dialog units,
// as plain data. The desktop backend builds its widgets from them; the scripted backend
// uses them to know which controls exist.
#pragma once

#include "platform/dialog.h" // kIdOk and kIdCancel of the templates
#include "platform/scripted/scripted_platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace corelith {

enum class ControlKind {
    Label,         // static text
    Edit,          // single-line edit field
    Button,        // push button
    DefaultButton, // push button pressed by Enter
    Radio,         // auto radio button
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

// Looks a template up by resource name, without regard to case; nullptr when unknown.
const DialogTemplate* FindDialogTemplate(std::string_view resource);

// Each group of dialogs lives in its own file; FindDialogTemplate searches them all.
const std::vector<DialogTemplate>&
ShellDialogTemplates(); // FORMATSPECIES, FORMATDATA, USEDTOOLS, AboutBox
const std::vector<DialogTemplate>& TfProjectDialogTemplates(); // CAPFACOPTIONS, REGRESSOPTIONS
const std::vector<DialogTemplate>& RankingDialogTemplates();   // the certain factor dialog
const std::vector<DialogTemplate>&
CountingDialogTemplates(); // COUNTINGDIALOG and the four name dialogs

// The controls of the dialog templates as the scripted backend sees them, for
// ScriptedPlatform::SetDialogLookup: dialogs start with their templates' texts, and a
// dialog without a template is a usage error.
DialogLookup TemplateDialogLookup();

} // namespace corelith
