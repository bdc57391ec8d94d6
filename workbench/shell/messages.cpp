#include "shell/messages.h"

#include "platform/platform.h"

#include <string>

namespace corelith {

namespace {

// A box must show something even when a caller passes a code of another family.
std::string UnsettledText(int code) {
    return "Message " + std::to_string(code) + " has no text here.";
}

// The system's reasons come without a full stop ("Permission denied").
std::string Sentence(const std::string& reason) {
    if (reason.empty() || reason.back() == '.')
        return reason;
    return reason + ".";
}

int ShowError(Platform& platform, int code, const std::string& text) {
    platform.ShowMessage(code, kProgramTitle, text, MessageIcon::Stop, true);
    return -1;
}

} // namespace

int ShowInformation(Platform& platform, int code) {
    std::string text;
    switch (code) {
    case kMsgVersion:
        text = std::string("Version number:\n") + kVersionText;
        break;
    case kMsgInfo:
        text = "Info not yet implemented!";
        break;
    case kMsgHelp:
        text = "Help not yet implemented!";
        break;
    case kMsgProjectFailed:
        text = "Something is wrong.\nProject has not been created.";
        break;
    default:
        text = UnsettledText(code);
        break;
    }
    platform.ShowMessage(code, kProgramTitle, text, MessageIcon::Information, false);
    return 1;
}

int ShowOverflow(Platform& platform, int code, long limit) {
    const std::string number = std::to_string(limit);
    switch (code) {
    case kMsgReferenceOverflow:
        return ShowError(platform, code, "Reference sample overflow. Maximum: " + number);
    case kMsgSpeciesOverflow:
        return ShowError(platform, code, "Species overflow. Maximum: " + number);
    case kMsgEnvironmentOverflow:
        return ShowError(platform, code, "To many environments. Maximum: " + number);
    case kMsgStationOverflow:
        return ShowError(platform, code, "Hydrographic station overflow. Maximum: " + number);
    case kMsgCoreOverflow:
        return ShowError(platform, code, "Core sample overflow. Maximum: " + number);
    default:
        return ShowError(platform, code, UnsettledText(code));
    }
}

int ShowFileError(Platform& platform, int code, const std::string& path) {
    switch (code) {
    case kMsgFileNotFound:
        return ShowError(platform, code, "Could not find file:\n>" + path + "<");
    case kMsgStationCountDiffers:
        return ShowError(platform, code,
                         "The number of the reference samples\nare not equal to the number of "
                         "the\nhydrographic positions.");
    case kMsgSpeciesCountDiffers:
        return ShowError(platform, code,
                         "The number of species in core file\nare not equal to the number of "
                         "species\nin the reference file.");
    default:
        return ShowError(platform, code, UnsettledText(code));
    }
}

int ShowNameMismatch(Platform& platform, int code, const std::string& firstName,
                     const std::string& secondName) {
    const std::string names = ":\n>" + firstName + "<\n>" + secondName + "<";
    switch (code) {
    case kMsgSpeciesNamesDiffer:
        return ShowError(platform, code, "The names of species are not equal" + names);
    case kMsgStationNamesDiffer:
        return ShowError(platform, code, "The names of stations are not equal" + names);
    default:
        return ShowError(platform, code, UnsettledText(code));
    }
}

int ShowStop(Platform& platform, const std::string& text) {
    return ShowError(platform, 0, text);
}

// The texts are built by appending: GCC 12 takes some concatenations of temporaries for
// overlapping copies (-Wrestrict).
int ReportFileError(Platform& platform, const std::string& path, FileAction action,
                    const std::string& reason) {
    std::string text = action == FileAction::Read ? "Could not read" : "Could not write";
    text += " the file:\n>";
    text += path;
    text += "<\n";
    text += Sentence(reason);
    return ShowError(platform, 0, text);
}

int ShowOutputIsInput(Platform& platform, const std::string& output, const std::string& input) {
    std::string text = "The output file\n>";
    text += output;
    text += "<\nis the input file";
    if (output != input) {
        text += "\n>";
        text += input;
        text += "<";
    }
    text += "\nof this command and would be lost. Choose another name.";
    return ShowError(platform, 0, text);
}

int ShowSettingsNotSaved(Platform& platform, const std::string& path, const std::string& reason) {
    std::string text = "Could not write the settings file:\n>";
    text += path;
    text += "<";
    if (!reason.empty()) {
        text += "\n";
        text += Sentence(reason);
    }
    return ShowError(platform, 0, text);
}

int ShowPathTooLong(Platform& platform, const std::string& path, long limit) {
    return ShowError(platform, 0,
                     "The path is too long (more than " + std::to_string(limit) +
                         " characters):\n>" + path + "<");
}

void ShowWaitCursor(Platform& platform) {
    platform.SetCursor(Cursor::Wait);
}

void ShowArrowCursor(Platform& platform) {
    platform.SetCursor(Cursor::Arrow);
}

} // namespace corelith
