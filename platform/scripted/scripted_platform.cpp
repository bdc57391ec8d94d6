#include "platform/scripted/scripted_platform.h"

namespace corelith {

ScriptedPlatform::ScriptedPlatform(std::vector<std::string> answers)
    : answers_(answers.begin(), answers.end()) {}

void ScriptedPlatform::SetStreams(std::ostream* output, std::ostream* errors) {
    output_ = output;
    errors_ = errors;
}

std::vector<std::string> ScriptedPlatform::Messages() const { return {}; }

void ScriptedPlatform::ShowMessage(int, const std::string&, const std::string&, MessageIcon,
                                   bool) {}
void ScriptedPlatform::Beep() { ++beeps_; }
bool ScriptedPlatform::SelectFile(const FileDialogRequest&, std::string&) { return false; }
int ScriptedPlatform::RunDialog(DialogModel&) { return 0; }
void ScriptedPlatform::SetCursor(Cursor cursor) { cursor_ = cursor; }
bool ScriptedPlatform::StartProgram(const std::string&, const std::string&) { return false; }
std::string ScriptedPlatform::SettingsFolder() { return settingsFolder_; }

} // namespace corelith
