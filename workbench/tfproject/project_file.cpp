#include "textio/file_layer.h"
#include "tfproject/tf_files.h"

#include <array>

namespace corelith {

namespace {

// The nine parameters of a tool, each followed by a blank, then its used flag.
std::string ParameterLine(const std::array<int, 9>& parameters, int used) {
    std::string line;
    for (const int value : parameters)
        line += FormatC("%d ", value);
    return line + FormatC("%d\n", used);
}

} // namespace

int WriteProjectFile(LineWriter& out, const ProjectSlot& project) {
    out.Put("Project: " + project.projectName + "\n");
    out.Put(project.firstPath + "\n");
    out.Put(ParameterLine(project.capFac, project.usedCapFac));
    out.Put(project.thirdPath + "\n");
    out.Put(ParameterLine(project.regress, project.usedRegress));
    out.Put(project.secondPath + "\n");
    out.Put(ParameterLine(project.thread, project.usedThread));
    return out.Status();
}

} // namespace corelith
