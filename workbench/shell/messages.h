// The message catalogue: every numbered box the workbench shows, in four families, and
// the wait and arrow cursors. Nothing else in the workbench shows a message box.
#pragma once

#include <string>

namespace corelith {

class Platform;

inline constexpr char kProgramTitle[] = "Corelith";
inline constexpr char kVersionText[] = "1.08 - Build: 07.10.2003";

enum MessageCode {
    kMsgVersion = 134,
    kMsgInfo = 135,
    kMsgFileNotFound = 136,
    kMsgReferenceOverflow = 137,
    kMsgSpeciesNamesDiffer = 138,
    kMsgSpeciesOverflow = 139,
    kMsgStationCountDiffers = 140,
    kMsgSpeciesCountDiffers = 141,
    kMsgEnvironmentOverflow = 142,
    kMsgStationNamesDiffer = 143,
    kMsgStationOverflow = 144,
    kMsgCoreOverflow = 145,
    kMsgHelp = 146,
    kMsgProjectFailed = 147,
};

// Information family (134, 135, 146, 147): information icon, no beep; returns 1.
int ShowInformation(Platform& platform, int code);
// Overflow family (137, 139, 142, 144, 145): beep, stop icon; returns -1.
int ShowOverflow(Platform& platform, int code, long limit);
// File and count errors (136, 140, 141): beep, stop icon; returns -1.
int ShowFileError(Platform& platform, int code, const std::string& path);
// Name mismatch (138, 143): beep, stop icon; returns -1.
int ShowNameMismatch(Platform& platform, int code, const std::string& firstName,
                     const std::string& secondName);

// The messages below are the workbench's own, outside the numbered catalogue: each is an
// error box (beep, stop icon, caption "Corelith") with code 0, and each returns -1.

// Any condition that a text of its own describes.
int ShowStop(Platform& platform, const std::string& text);

// A file the command could not read or write: "Could not read the file:" or "Could not
// write the file:", the path between ">" and "<", then the system's reason. An input that
// does not exist is message 136 of the catalogue instead.
enum class FileAction { Read, Write };
int ReportFileError(Platform& platform, const std::string& path, FileAction action,
                    const std::string& reason);

// An output that is one of the command's input files.
int ShowOutputIsInput(Platform& platform, const std::string& output, const std::string& input);

// The settings file could not be written, with the system's reason when there is one.
int ShowSettingsNotSaved(Platform& platform, const std::string& path,
                         const std::string& reason = {});
// A chosen path longer than the workbench's path buffers.
int ShowPathTooLong(Platform& platform, const std::string& path, long limit);

void ShowWaitCursor(Platform& platform);
void ShowArrowCursor(Platform& platform);

} // namespace corelith
