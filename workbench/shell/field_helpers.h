// Helpers through which every dialog shows and reads check boxes, radio groups, numbers
// and names. Mode 0 shows the value in the control; mode 2 takes it from the control.
#pragma once

#include "platform/dialog.h"

#include <string>
#include <vector>

namespace corelith {

inline constexpr int kShow = 0;
inline constexpr int kTake = 2;
inline constexpr char kBlankPlaceholder[] = " "; // an integer field showing no value

void CheckBoxField(DialogControls& dlg, int id, int mode, int& flag);
// Unchecks buttons 1..n of `ids` and checks button k (1-based); returns k.
int RadioGroup(DialogControls& dlg, const std::vector<int>& ids, int k);
int IntegerField(DialogControls& dlg, int id, int mode, const char* format, int value,
                 int showFlag);
float RealField(DialogControls& dlg, int id, int mode, const char* format, float value,
                int& decimalCommaFlag, int showFlag);
void TextField(DialogControls& dlg, int id, int mode, std::string& text, int maxLength);
// 0 when the field holds exactly the blank placeholder, 1 otherwise (also when empty).
int FieldHasValue(const DialogControls& dlg, int id);

// True when `text` is a whole number (blanks first, a sign, digits and nothing else)
// beyond the range of int, which the integer field takes as no number at all.
bool IsWholeNumberOutOfRange(const std::string& text);
// The number a real field's text begins with (after its commas became points), or false.
bool RealFieldNumber(const std::string& text, float& value);
// True when `value`, written with "%f" as the settings file keeps real numbers, reads back
// as the same number ("%G" alike): 1e-7 would come back as 0.
bool KeepsInSettingsFile(float value);

} // namespace corelith
