// The computation of a run, from the files read to every number the outputs show: the factor
// analysis of the reference census, the calibration of each variable with its leave-one-out
// cross-validation, and the application to the core.
#pragma once

#include "quillon/calibration.h"
#include "quillon/crossval.h"
#include "quillon/factors.h"
#include "quillon/inputs.h"
#include "quillon/loo.h"

#include <Eigen/Dense>

#include <string>
#include <vector>

namespace quillon {

struct TransferSettings {
    VarimaxSettings varimax;
    int threads = 1; // leave-one-out folds computed at a time
};

struct VariableResult {
    std::string name; // as in the Regress file, trailing blanks removed
    int variable = 0; // its index in the Regress file
    int missing = 0;  // reference samples without a value (left out of the fit)
    RegressionFit fit;
    CvSummary cv;
};

struct TransferResult {
    FactorSolution factors;
    ModelForm form = ModelForm::Quadratic;
    std::vector<std::string> coefficientNames;
    std::vector<VariableResult> variables; // in term-code line order

    bool looDone = false; // with Regress or Thread
    LooResult loo;
    Eigen::MatrixXd observed; // reference samples x variables (NaN: missing)

    bool coreDone = false;
    Eigen::MatrixXd coreLoadings;
    Eigen::VectorXd coreCommunality;
    Eigen::MatrixXd coreEstimates; // core samples x variables
    Eigen::MatrixXd coreErrors;    // their prediction standard errors
    Eigen::VectorXd corePercentile;
    std::vector<bool> noAnalog;
    int noAnalogCount = 0;
    double noAnalogThreshold = 0.0;
};

// Computes everything. Returns 0, or -1 with `error` (a sample of all zeros, too many factors
// for the census, a model with too few samples or a singular one).
int ComputeTransfer(const Inputs& inputs, const TransferSettings& settings, TransferResult& result,
                    std::string& error);

} // namespace quillon
