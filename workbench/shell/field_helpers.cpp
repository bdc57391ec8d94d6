#include "shell/field_helpers.h"

#include "textio/file_layer.h"
#include "textio/text_cut.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>

namespace corelith {

namespace {

// Number fields are read the way a dialog reads them into a 64-character buffer.
constexpr size_t kNumberFieldLength = 63;
// Text fields are read into a 256-character buffer before the caller's limit applies.
constexpr size_t kTextFieldLength = 255;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The whole text as a signed decimal number: leading blanks, an optional minus sign and
// digits, nothing after them, within the range of int.
bool ParseWholeNumber(const std::string& text, int& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i == text.size())
        return false;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (*first != '-' && !IsDigit(*first))
        return false;
    int parsed = 0;
    auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last)
        return false;
    value = parsed;
    return true;
}

// A real number at the start of the text as "%f" scans it: blanks, a sign, digits with an
// optional decimal point and exponent; whatever follows is ignored. Infinity, NaN and
// hexadecimal forms are not numbers, nor is a value beyond the range of float.
bool ScanReal(const std::string& text, float& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            number += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        number += text[i++];
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && IsDigit(text[i])) {
            number += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent += text[j++];
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                exponent += text[j++];
            number += exponent;
        }
    }
    double parsed = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (error != std::errc() || end != number.data() + number.size())
        return false;
    if (!std::isfinite(parsed) || std::fabs(parsed) > FLT_MAX)
        return false;
    value = static_cast<float>(parsed);
    return true;
}

} // namespace

void CheckBoxField(DialogControls& dlg, int id, int mode, int& flag) {
    if (mode == kShow) {
        flag = flag != 0 ? 1 : 0;
        dlg.SetChecked(id, flag != 0);
    } else if (mode == kTake) {
        flag = flag == 0 ? 1 : 0;
        dlg.SetChecked(id, flag != 0);
    }
}

int RadioGroup(DialogControls& dlg, const std::vector<int>& ids, int k) {
    for (int id : ids)
        dlg.SetChecked(id, false);
    if (k >= 1 && static_cast<size_t>(k) <= ids.size())
        dlg.SetChecked(ids[static_cast<size_t>(k) - 1], true);
    return k;
}

int IntegerField(DialogControls& dlg, int id, int mode, const char* format, int value,
                 int showFlag) {
    if (mode == kShow) {
        dlg.SetText(id, showFlag != 0 ? FormatC(format, value) : std::string(kBlankPlaceholder));
        return value;
    }
    if (mode == kTake) {
        int typed = 0;
        if (ParseWholeNumber(dlg.Text(id), typed))
            return typed;
    }
    return value;
}

float RealField(DialogControls& dlg, int id, int mode, const char* format, float value,
                int& decimalCommaFlag, int showFlag) {
    if (mode == kShow) {
        dlg.SetText(id,
                    showFlag != 0 ? FormatC(format, static_cast<double>(value)) : std::string());
        return value;
    }
    if (mode != kTake)
        return value;
    std::string text = dlg.Text(id).substr(0, kNumberFieldLength);
    bool hadComma = false;
    for (char& c : text) {
        if (c == ',') {
            c = '.';
            hadComma = true;
        }
    }
    if (hadComma)
        decimalCommaFlag = 1;
    float typed = 0;
    return ScanReal(text, typed) ? typed : value;
}

void TextField(DialogControls& dlg, int id, int mode, std::string& text, int maxLength) {
    if (mode == kShow) {
        dlg.SetText(id, text);
    } else if (mode == kTake) {
        size_t limit = maxLength > 0 ? static_cast<size_t>(maxLength) : 0;
        if (limit > kTextFieldLength)
            limit = kTextFieldLength;
        text = std::string(CutText(dlg.Text(id), limit));
    }
}

bool IsWholeNumberOutOfRange(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (first == last || (*first != '-' && !IsDigit(*first)))
        return false;
    int ignored = 0;
    auto [end, error] = std::from_chars(first, last, ignored);
    return error == std::errc::result_out_of_range && end == last;
}

bool RealFieldNumber(const std::string& text, float& value) {
    std::string pointed = text.substr(0, kNumberFieldLength);
    for (char& c : pointed) {
        if (c == ',')
            c = '.';
    }
    return ScanReal(pointed, value);
}

bool KeepsInSettingsFile(float value) {
    float back = 0;
    return ScanReal(FormatC("%f", static_cast<double>(value)), back) &&
           FormatC("%G", static_cast<double>(back)) == FormatC("%G", static_cast<double>(value));
}

int FieldHasValue(const DialogControls& dlg, int id) {
    return dlg.Text(id).substr(0, kNumberFieldLength) == kBlankPlaceholder ? 0 : 1;
}

} // namespace corelith
