// Leave-one-out cross-validation of the whole calibration: each reference sample is left out
// of the factor analysis and of the regression, and then estimated from them.
#pragma once

#include "quillon/calibration.h"
#include "quillon/factors.h"

#include <Eigen/Dense>

#include <string>

namespace quillon {

struct LooProblem {
    int factorCount = 0;
    ModelForm form = ModelForm::Quadratic;
    // Reference samples x calibrated variables; NaN marks a missing value (the sample is left
    // out of that variable's regression, and estimated all the same).
    Eigen::MatrixXd observed;
    // Below this many axes a fold's factors come from the full eigendecomposition, which is
    // then the cheaper way (lower only to exercise the fast way on small problems).
    int denseAxes = 96;
};

struct LooResult {
    Eigen::MatrixXd estimates;   // reference samples x calibrated variables
    Eigen::VectorXd communality; // each sample projected on the factors of the analysis
                                 // without it
    int exactFolds = 0;          // folds whose factors needed a full eigendecomposition
};

// The fast leave-one-out on the spectrum of the whole reference census. Leaving a sample out
// takes its coordinates g out of the cross-product matrix, diag(eigenvalues) - g g^T, whose
// leading eigenvectors follow from the leading axes and a short Krylov space of the others
// (checked by their residuals; a full eigendecomposition where that is not accurate enough).
// The model uses every factor term, so it does not depend on the rotation and the folds need
// no varimax. `threads` folds run at a time. Returns 0, or -1 with `error` naming the sample
// whose fold is singular (`failedSample` set).
int LeaveOneOut(const Spectrum& spectrum, const LooProblem& problem, int threads, LooResult& result,
                int& failedSample, std::string& error);

// The same by recomputing everything from the scaled census without the sample (a singular
// value decomposition per fold): slow, for checking the fast one.
int LeaveOneOutDirect(const Eigen::MatrixXd& scaled, const LooProblem& problem, LooResult& result,
                      int& failedSample, std::string& error);

// The leading `factorCount` eigenvectors of diag(eigenvalues) - g g^T (eigenvalues
// descending, none negative), as orthonormal columns. Returns true when the fast way met its
// accuracy, false when the full eigendecomposition was used. `denseAxes` as in LooProblem.
bool DowndatedFactors(const Eigen::VectorXd& eigenvalues, const Eigen::VectorXd& g, int factorCount,
                      int denseAxes, Eigen::MatrixXd& vectors);

} // namespace quillon
