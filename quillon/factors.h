// Q-mode factor analysis of a census: samples scaled to unit vector length, principal
// factors, varimax rotation, and the projection of other samples on the factors.
#pragma once

#include <Eigen/Dense>

#include <string>

namespace quillon {

// Scales each row of `counts` to unit vector length. Returns 0, or -1 with `zeroRow` set to
// the first row whose values are all 0 (it has no direction).
int ScaleToUnitLength(const Eigen::MatrixXd& counts, Eigen::MatrixXd& scaled, int& zeroRow);

// The principal axes of the scaled census, from the cross-product matrix of whichever side is
// smaller (species x species or samples x samples). `coordinates` holds every sample in the
// orthonormal basis of the axes, so that coordinates^T coordinates is diag(eigenvalues): the
// leave-one-out folds work on it alone.
struct Spectrum {
    Eigen::VectorXd eigenvalues; // descending, min(samples, species) of them, none below 0
    Eigen::MatrixXd coordinates; // samples x axes
    Eigen::MatrixXd axes;        // species x factors: the leading axes in species space
};

// `factorCount` is the number of leading axes kept in `axes` (the others are not needed).
void ComputeSpectrum(const Eigen::MatrixXd& scaled, int factorCount, Spectrum& spectrum);

struct VarimaxSettings {
    // The rotation stops after a sweep over all pairs of factors in which no pair turned by
    // more than this angle (radians)...
    double tolerance = 1e-10;
    // ...or after this many sweeps.
    int maxIterations = 1000;
};

struct FactorSolution {
    int factorCount = 0;
    double totalVariance = 0.0;      // the sum of all eigenvalues: the number of samples
    Eigen::VectorXd eigenvalues;     // all of them, descending
    Eigen::MatrixXd loadings;        // samples x factors, after rotation
    Eigen::MatrixXd scores;          // species x factors, after rotation (orthonormal)
    Eigen::VectorXd communality;     // per sample: the sum of its squared loadings
    Eigen::VectorXd rotatedVariance; // per factor: the sum of its squared loadings
    int varimaxIterations = 0;
    bool varimaxConverged = true;
};

// The factor analysis of the scaled census with `factorCount` factors. Each rotated factor's
// loadings sum to a positive number and the factors are ordered by their variance after
// rotation, so that the same data always give the same table. Returns 0, or -1 with `error`
// when the census has fewer independent directions than factors.
int AnalyseFactors(const Eigen::MatrixXd& scaled, const Spectrum& spectrum, int factorCount,
                   const VarimaxSettings& settings, FactorSolution& solution, std::string& error);

// The rotation of Kaiser's varimax with Kaiser normalisation: rows are scaled to unit length
// for the rotation (rows of zeros are left as they are). Returns the orthogonal k x k matrix R
// that maximises the criterion of loadings * R.
Eigen::MatrixXd VarimaxRotation(const Eigen::MatrixXd& loadings, const VarimaxSettings& settings,
                                int& iterations, bool& converged);

// The varimax criterion of `loadings` after Kaiser normalisation: the sum over factors of the
// variance of the squared normalised loadings.
double VarimaxCriterion(const Eigen::MatrixXd& loadings);

// Projects scaled samples on the factors: their loadings (samples x factors) and
// communalities, the share of each sample's unit length that the factors explain.
void ProjectOnFactors(const Eigen::MatrixXd& scaled, const Eigen::MatrixXd& scores,
                      Eigen::MatrixXd& loadings, Eigen::VectorXd& communality);

} // namespace quillon
