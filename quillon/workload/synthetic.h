// Synthetic transfer-function projects in the workbench's file forms, for the benchmark and
// the tests: reference and core census made of a few end-member assemblages mixed in random
// proportions with noise, and environmental values that follow the mixtures.
#pragma once

#include "quillon/paths.h"

#include <Eigen/Dense>

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct SyntheticShape {
    int references = 60;
    int species = 20;
    int cores = 15;
    int factors = 3;
    int endMembers = 4;
    int variables = 2;
    int power = 1; // IPOW: 0 linear, 1 quadratic
    double noise = 0.05;
    std::uint64_t seed = 1;
};

struct SyntheticData {
    Eigen::MatrixXd reference;   // references x species, whole numbers
    Eigen::MatrixXd core;        // cores x species
    Eigen::MatrixXd environment; // references x variables
};

SyntheticData MakeSyntheticData(const SyntheticShape& shape);

// The file texts, exactly as the workbench writes them.
std::string CapFacText(const std::string& projectName, const Eigen::MatrixXd& census, int factors);
std::string RegressText(const Eigen::MatrixXd& environment, int factors, int power);
std::string ThreadText(const Eigen::MatrixXd& census);
std::string ProjectText(const std::string& name, const std::string& capFac,
                        const std::string& regress, const std::string& thread, int factors,
                        int power);

// Writes NAME.pro, NAME.cap, NAME.reg and NAME.thr into `folder` and returns the project
// path (empty when a file could not be written).
fs::path WriteSyntheticProject(const fs::path& folder, const std::string& name,
                               const SyntheticShape& shape);

} // namespace quillon
