// marvane_workload: writes a benchmark workload as the four engine files (.ref, .sam,
// .env, .pro) into a folder.
#include "engine/workload/workload.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: marvane_workload large|typical|forcens FOLDER [DATA_FOLDER]\n"
                             "  writes FOLDER/<name>.pro and its data files; forcens reads the\n"
                             "  ForCenS tables from DATA_FOLDER\n");
        return 2;
    }
    const std::string name = argv[1];
    const std::string folder = argv[2];
    const std::string data = argc == 4 ? argv[3] : "";
    marvane::workload::ProjectData project;
    std::string error;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    if (marvane::workload::MakeNamedWorkload(name, data, project, error) != 0 ||
        marvane::workload::WriteProject(project, folder, name, error) != 0) {
        std::fprintf(stderr, "marvane_workload: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s/%s.pro: %zu reference samples x %zu species, %zu subject samples, "
                "maxAnalogs %d, gridStep %.3f, searchRadius %.3f\n",
                folder.c_str(), name.c_str(), project.references.size(),
                project.speciesNames.size(), project.subjects.size(), project.maxAnalogs,
                static_cast<double>(project.gridStep), static_cast<double>(project.searchRadius));
    return 0;
}
