#include "counting/counting_messages.h"

#include "platform/platform.h"
#include "shell/messages.h"
#include "textio/paths.h"

namespace corelith {

namespace {

int ShowError(Platform& platform, const std::string& text) {
    platform.ShowMessage(0, kProgramTitle, text, MessageIcon::Stop, true);
    return -1;
}

std::string Quoted(const std::string& path) {
    return ">" + path + "<";
}

std::string Place(const TableLoss& loss) {
    std::string place = "Line " + std::to_string(loss.line);
    if (loss.column > 0)
        place += ", column " + std::to_string(loss.column);
    return place + ": ";
}

std::string WhatIsLost(TableLoss::Kind kind) {
    using Kind = TableLoss::Kind;
    switch (kind) {
    case Kind::LeftOutRow:
        return "the row is left out (it holds a \"*\").";
    case Kind::LeftOutColumn:
        return "the column is left out (its flag begins with \"*\").";
    case Kind::Unreadable:
        return "the cell holds no number the table can read.";
    case Kind::Negative:
        return "the value is below 0 and would be written as an empty cell.";
    case Kind::BeyondTable:
        return "the cell lies beyond the last column of the table.";
    case Kind::LongName:
        return "the name is longer than 63 characters.";
    case Kind::None:
        break;
    }
    return {};
}

} // namespace

int ShowFileNotWritten(Platform& platform, const std::string& path, const std::string& reason,
                       const std::string& journal) {
    std::string text = "Could not write file:\n" + Quoted(path) + "\n" + reason;
    if (!journal.empty())
        text += "\nThe counts are kept in:\n" + Quoted(journal);
    return ShowError(platform, text);
}

int ShowJournalNotWritten(Platform& platform, const std::string& path, const std::string& reason) {
    return ShowError(platform, "Could not write file:\n" + Quoted(path) + "\n" + reason +
                                   "\nThe counts from now on are written only at Stop.");
}

int ShowJournalDamaged(Platform& platform, const std::string& path, int line) {
    return ShowError(platform, "The unfinished counting session cannot be read:\n" + Quoted(path) +
                                   "\nLine " + std::to_string(line) +
                                   " is damaged. Move the file away to count into this file.");
}

int ShowInputWouldLoseData(Platform& platform, const std::string& path, const TableLoss& loss) {
    return ShowError(platform, "The counted table cannot be saved over its input:\n" +
                                   Quoted(path) + "\n" + Place(loss) + WhatIsLost(loss.kind) +
                                   "\nChoose another file to save it.");
}

std::string RecoveryQuestion(const std::string& output, const std::string& input, int changes,
                             int badLine) {
    std::string text = "The counting of " + FileNameOf(input) + " into " + FileNameOf(output) +
                       " was not finished. " + std::to_string(changes) +
                       (changes == 1 ? " change is" : " changes are") + " kept.";
    if (badLine > 0)
        text += " (Line " + std::to_string(badLine) + " of its record is damaged; the changes " +
                "before it are kept.)";
    return text + "\n\nRecover the session, or start anew from the table?";
}

} // namespace corelith
