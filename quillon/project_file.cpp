#include "quillon/project_file.h"

namespace quillon {

namespace {

constexpr std::string_view kProjectPrefix = "Project: ";

// "%d " nine times, then the used flag with "%d".
int ReadParameterLine(const TextFile& file, int line, const char* tool, ToolLine& toolLine,
                      std::string& error) {
    const std::string& text = file.Line(line);
    std::array<int, 10> values{};
    size_t count = 0;
    size_t position = 0;
    bool wellFormed = true;
    while (wellFormed && position < text.size()) {
        const size_t blank = text.find(' ', position);
        const size_t end = blank == std::string::npos ? text.size() : blank;
        if (end == position || count == values.size() ||
            !ParseWholeNumber(std::string_view(text).substr(position, end - position),
                              values[count]))
            wellFormed = false;
        ++count;
        position = end + 1;
    }
    if (!wellFormed || count != values.size()) {
        error = file.At(line, std::string("expected the nine ") + tool +
                                  " parameters and its used flag, ten whole numbers "
                                  "separated by blanks");
        return -1;
    }
    if (values[9] != 0 && values[9] != 1) {
        error = file.At(line, std::string("the used flag of ") + tool + " is " +
                                  std::to_string(values[9]) + "; expected 0 or 1");
        return -1;
    }
    for (size_t i = 0; i < 9; ++i)
        toolLine.parameters[i] = values[i];
    toolLine.used = values[9] == 1;
    toolLine.parameterLine = line;
    return 0;
}

} // namespace

int ReadProjectFile(const TextFile& file, ProjectFile& project, std::string& error) {
    if (file.ContentLineCount() == 0) {
        error = file.name + ": the project file is empty";
        return -1;
    }
    const std::string& first = file.Line(1);
    if (first.compare(0, kProjectPrefix.size(), kProjectPrefix) != 0) {
        error = file.At(1, "expected \"Project: \" followed by the project name");
        return -1;
    }
    project.name = first.substr(kProjectPrefix.size());

    struct Slot {
        ToolLine* tool;
        const char* name;
    };
    const Slot slots[] = {
        {&project.capFac, "CapFac"}, {&project.regress, "Regress"}, {&project.thread, "Thread"}};
    int line = 2;
    for (const Slot& slot : slots) {
        if (line > file.ContentLineCount()) {
            error = file.At(line, std::string("the file ends here; expected the path of the ") +
                                      slot.name + " file (a project file has seven lines)");
            return -1;
        }
        slot.tool->path = file.Line(line);
        slot.tool->pathLine = line;
        if (ReadParameterLine(file, line + 1, slot.name, *slot.tool, error) != 0)
            return -1;
        line += 2;
    }
    if (file.ContentLineCount() > 7) {
        error = file.At(8, "expected the end of the project file after its seven lines");
        return -1;
    }
    return 0;
}

} // namespace quillon
