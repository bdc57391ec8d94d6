#include "plotting/plot_command.h"

#include "plotting/depth_table.h"
#include "plotting/estimates_tables.h"
#include "plotting/plot_model.h"
#include "plotting/svg_writer.h"
#include "shell/messages.h"
#include "textio/file_dialogs.h"
#include "textio/file_layer.h"
#include "textio/line_writer.h"
#include "textio/paths.h"
#include "workbench.h"

#include <optional>
#include <string>

namespace corelith {

namespace {

constexpr int kAnyFileFilter = 6; // tables come as .txt and .tsv alike
constexpr char kPlotSuffix[] = "_plot.svg";

// A table the user chose: its path and what it holds.
template <typename Table> struct Chosen {
    std::string path;
    std::string name; // without folder
    Table table;
};

// Problems with the user's files, in the catalogue's manner: caption, stop icon, beep.
int ShowPlotProblem(Workbench& wb, const std::string& text) {
    wb.platform.ShowMessage(0, kProgramTitle, text, MessageIcon::Stop, true);
    return -1;
}

int ShowUnreadable(Workbench& wb, const std::string& path, const ReadProblem& problem) {
    return ShowPlotProblem(wb, "Cannot plot this file:\n>" + path + "<\nLine " +
                                   std::to_string(problem.line) + ": " + problem.reason + ".");
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::FILE* file = OpenForReading(path, "rb");
    if (file == nullptr)
        return false;
    text.clear();
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool complete = std::ferror(file) == 0;
    CloseFile(file);
    return complete;
}

// The open dialog `title`, then the chosen file read by `read`. Returns 1 when read, 0
// when the dialog was cancelled, -1 after a message.
template <typename Table, typename Reader>
int ChooseTable(Workbench& wb, std::string proposal, const char* title, Reader read,
                std::optional<Chosen<Table>>& chosen) {
    SetFileFilter(wb, kAnyFileFilter);
    std::string folder;
    std::string name;
    if (!SelectFileToOpen(wb, proposal, folder, name, title))
        return 0;
    wb.current = CurrentFile{proposal, folder, name};
    std::string text;
    ShowWaitCursor(wb.platform);
    const bool loaded = ReadWholeFile(proposal, text);
    ShowArrowCursor(wb.platform);
    if (!loaded)
        return ShowFileError(wb.platform, kMsgFileNotFound, proposal);
    Table table;
    ReadProblem problem;
    if (read(text, table, problem) != 0)
        return ShowUnreadable(wb, proposal, problem);
    chosen = Chosen<Table>{proposal, name, std::move(table)};
    return 1;
}

int ChooseEstimates(Workbench& wb, std::string proposal, const char* title, EstimatesMethod method,
                    std::optional<Chosen<EstimatesTable>>& chosen) {
    auto read = [method](const std::string& text, EstimatesTable& table, ReadProblem& problem) {
        return ReadEstimatesText(text, method, table, problem);
    };
    return ChooseTable<EstimatesTable>(wb, std::move(proposal), title, read, chosen);
}

// NAME_plot.svg beside the table NAME.EXT.
std::string ProposedPicture(const std::string& tablePath) {
    std::string name = FileNameOf(tablePath);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return FolderOf(tablePath) + name + kPlotSuffix;
}

int WritePicture(Workbench& wb, const std::string& path, const std::string& svg) {
    ShowWaitCursor(wb.platform);
    LineWriter out;
    out.Open(path);
    out.Put(svg);
    const int closed = out.Close();
    ShowArrowCursor(wb.platform);
    if (closed != 0)
        return ShowPlotProblem(wb, "Could not write the picture:\n>" + path + "<\n" + out.Reason());
    return 0;
}

} // namespace

int PlotEstimates(Workbench& wb) {
    std::optional<Chosen<EstimatesTable>> analog;
    std::optional<Chosen<EstimatesTable>> factor;
    std::optional<Chosen<DepthTable>> depths;
    if (ChooseEstimates(wb, wb.current.fullPath, "Select analog estimates", EstimatesMethod::Analog,
                        analog) < 0 ||
        ChooseEstimates(wb, {}, "Select transfer-function estimates", EstimatesMethod::Factor,
                        factor) < 0)
        return kPlotNoInput;
    if (!analog && !factor)
        return kPlotDone;
    if (ChooseTable<DepthTable>(wb, {}, "Select depth table", ReadDepthText, depths) < 0)
        return kPlotNoInput;

    PlotInputs inputs;
    if (analog)
        inputs.analog = {&analog->table, analog->name};
    if (factor)
        inputs.factor = {&factor->table, factor->name};
    if (depths)
        inputs.depths = &depths->table;
    Plot plot;
    std::string missing;
    if (BuildPlot(inputs, plot, missing) != 0) {
        if (depths)
            ShowPlotProblem(wb, "Cannot plot with this depth table:\n>" + depths->path +
                                    "<\nIt has no depth for the sample >" + missing + "<.");
        return kPlotNoInput;
    }

    SetFileFilter(wb, kSvgFilter);
    std::string path = ProposedPicture(analog ? analog->path : factor->path);
    std::string folder;
    std::string name;
    if (!SelectFileToSave(wb, path, folder, name, "Save plot as"))
        return kPlotDone;
    wb.current = CurrentFile{path, folder, name};
    if (WritePicture(wb, path, PlotToSvg(plot)) != 0)
        return kPlotNoOutput;
    wb.platform.ShowPicture(path, name);
    return kPlotDone;
}

} // namespace corelith
