// The time of the largest project the workbench can write: 1,367 reference samples x 500
// species, 10 factors, quadratic model (66 coefficients), 3 variables, 300 core samples,
// leave-one-out included. Usage: quillon_bench [THREADS] (default 1) [FOLDER].
#include "quillon/app.h"
#include "quillon/workload/synthetic.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const int threads = argc > 1 ? std::atoi(argv[1]) : 1;
    const fs::path folder =
        argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "quillon_bench";
    fs::create_directories(folder);

    quillon::SyntheticShape shape;
    shape.references = 1367;
    shape.species = 500;
    shape.cores = 300;
    shape.factors = 10;
    shape.endMembers = 12;
    shape.variables = 3;
    shape.power = 1;
    shape.noise = 0.1;
    const fs::path project = quillon::WriteSyntheticProject(folder, "Largest", shape);
    if (project.empty()) {
        std::cerr << "cannot write the project into " << folder << "\n";
        return 1;
    }
    quillon::AppOptions options;
    options.threads = threads;
    std::ostringstream out;
    const auto start = std::chrono::steady_clock::now();
    const int status = quillon::RunProject(quillon::Utf8FromPath(project), out, std::cerr, options);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::cout << out.str();
    std::cout << "quillon_bench: 1367 x 500, 10 factors, quadratic, " << threads
              << " thread(s): " << seconds.count() << " s (status " << status << ")\n";
    return status;
}
