// Dialog controls kept in maps, and the settings file of a test's own folder.
#pragma once

#include "platform/dialog.h"
#include "shell/settings.h"
#include "testing/test_support.h"

#include <map>
#include <string>

namespace corelith::testing {

// The controls of one dialog kept in maps, so a test can drive a model or a helper alone
// and look at what it set.
class MapControls : public DialogControls {
  public:
    std::string Text(int id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    bool Checked(int id) const override {
        auto it = checks.find(id);
        return it != checks.end() && it->second;
    }
    void SetChecked(int id, bool checked) override { checks[id] = checked; }
    void FocusDialog() override { focusedDialog = true; }
    void FocusControl(int) override {}
    void Beep() override {}
    void End(int value) override {
        ended = true;
        result = value;
    }

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    bool focusedDialog = false;
    bool ended = false;
    int result = 0;
};

// Line `number` (1-based) of the settings file in `folder`.
inline std::string SettingsLine(const testsupport::TempDir& folder, int number) {
    return folder.Line(kSettingsFileName, number);
}

} // namespace corelith::testing
