#include "quillon/factors.h"

#include <Eigen/Eigenvalues>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace quillon {

namespace {

// A factor whose eigenvalue is below this share of the first carries rounding only.
constexpr double kRankTolerance = 1e-10;

Eigen::MatrixXd NormaliseRows(const Eigen::MatrixXd& loadings, Eigen::VectorXd& lengths) {
    lengths = loadings.rowwise().norm();
    Eigen::MatrixXd normalised = loadings;
    for (Eigen::Index i = 0; i < loadings.rows(); ++i)
        if (lengths(i) > 0.0)
            normalised.row(i) /= lengths(i);
    return normalised;
}

} // namespace

int ScaleToUnitLength(const Eigen::MatrixXd& counts, Eigen::MatrixXd& scaled, int& zeroRow) {
    scaled = counts;
    for (Eigen::Index i = 0; i < counts.rows(); ++i) {
        // stableNorm: counts of any size, without overflow in their squares.
        const double length = counts.row(i).stableNorm();
        if (!(length > 0.0)) {
            zeroRow = static_cast<int>(i);
            return -1;
        }
        scaled.row(i) /= length;
    }
    return 0;
}

void ComputeSpectrum(const Eigen::MatrixXd& scaled, int factorCount, Spectrum& spectrum) {
    const Eigen::Index samples = scaled.rows();
    const Eigen::Index species = scaled.cols();
    const Eigen::Index k = std::min<Eigen::Index>(factorCount, std::min(samples, species));
    if (species <= samples) {
        const Eigen::MatrixXd cross = scaled.transpose() * scaled;
        const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(cross);
        // Eigen orders ascending; the factors are wanted largest first.
        const Eigen::MatrixXd vectors = solver.eigenvectors().rowwise().reverse();
        spectrum.eigenvalues = solver.eigenvalues().reverse().cwiseMax(0.0);
        spectrum.coordinates = scaled * vectors;
        spectrum.axes = vectors.leftCols(k);
    } else {
        const Eigen::MatrixXd cross = scaled * scaled.transpose();
        const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(cross);
        const Eigen::MatrixXd vectors = solver.eigenvectors().rowwise().reverse();
        spectrum.eigenvalues = solver.eigenvalues().reverse().cwiseMax(0.0);
        const Eigen::VectorXd lengths = spectrum.eigenvalues.cwiseSqrt();
        spectrum.coordinates = vectors * lengths.asDiagonal();
        // The species-side axis of a sample-side eigenvector u with eigenvalue s^2 is
        // scaled^T u / s; only the leading ones, whose s is far from 0, are formed.
        spectrum.axes = scaled.transpose() * vectors.leftCols(k);
        for (Eigen::Index j = 0; j < k; ++j)
            if (lengths(j) > 0.0)
                spectrum.axes.col(j) /= lengths(j);
    }
}

double VarimaxCriterion(const Eigen::MatrixXd& loadings) {
    Eigen::VectorXd lengths;
    const Eigen::ArrayXXd squares = NormaliseRows(loadings, lengths).array().square();
    const double n = static_cast<double>(loadings.rows());
    double criterion = 0.0;
    for (Eigen::Index j = 0; j < squares.cols(); ++j) {
        const double mean = squares.col(j).sum() / n;
        criterion += squares.col(j).square().sum() / n - mean * mean;
    }
    return criterion;
}

Eigen::MatrixXd VarimaxRotation(const Eigen::MatrixXd& loadings, const VarimaxSettings& settings,
                                int& iterations, bool& converged) {
    const Eigen::Index k = loadings.cols();
    const double n = static_cast<double>(loadings.rows());
    Eigen::VectorXd lengths;
    Eigen::MatrixXd rotated = NormaliseRows(loadings, lengths);
    Eigen::MatrixXd rotation = Eigen::MatrixXd::Identity(k, k);
    iterations = 0;
    converged = k < 2;
    // Kaiser's pairwise rotations: for each pair of factors the angle that maximises the
    // criterion has a closed form (the criterion is a sinusoid in four times the angle), so a
    // sweep never stops at a saddle where a gradient method would. Sweeps go on until no pair
    // turns by more than the tolerance.
    while (!converged && iterations < settings.maxIterations) {
        ++iterations;
        double largest = 0.0;
        for (Eigen::Index a = 0; a < k; ++a) {
            for (Eigen::Index b = a + 1; b < k; ++b) {
                const Eigen::ArrayXd x = rotated.col(a).array();
                const Eigen::ArrayXd y = rotated.col(b).array();
                const Eigen::ArrayXd u = x.square() - y.square();
                const Eigen::ArrayXd v = 2.0 * x * y;
                const double sumU = u.sum();
                const double sumV = v.sum();
                const double numerator = 2.0 * (u * v).sum() - 2.0 * sumU * sumV / n;
                const double denominator =
                    (u.square() - v.square()).sum() - (sumU * sumU - sumV * sumV) / n;
                const double angle = 0.25 * std::atan2(numerator, denominator);
                largest = std::max(largest, std::abs(angle));
                const double c = std::cos(angle);
                const double s = std::sin(angle);
                const Eigen::VectorXd newA = c * rotated.col(a) + s * rotated.col(b);
                rotated.col(b) = -s * rotated.col(a) + c * rotated.col(b);
                rotated.col(a) = newA;
                const Eigen::VectorXd turnA = c * rotation.col(a) + s * rotation.col(b);
                rotation.col(b) = -s * rotation.col(a) + c * rotation.col(b);
                rotation.col(a) = turnA;
            }
        }
        converged = largest <= settings.tolerance;
    }
    return rotation;
}

int AnalyseFactors(const Eigen::MatrixXd& scaled, const Spectrum& spectrum, int factorCount,
                   const VarimaxSettings& settings, FactorSolution& solution, std::string& error) {
    const Eigen::Index k = factorCount;
    solution.factorCount = factorCount;
    solution.eigenvalues = spectrum.eigenvalues;
    solution.totalVariance = spectrum.eigenvalues.sum();
    if (k < 1 || k > spectrum.eigenvalues.size() ||
        !(spectrum.eigenvalues(k - 1) > kRankTolerance * spectrum.eigenvalues(0))) {
        Eigen::Index rank = 0;
        while (rank < spectrum.eigenvalues.size() &&
               spectrum.eigenvalues(rank) > kRankTolerance * spectrum.eigenvalues(0))
            ++rank;
        error = "the reference census has only " + std::to_string(rank) +
                " independent directions (samples that are multiples of one another count "
                "once), fewer than the " +
                std::to_string(factorCount) + " factors asked for; ask for at most " +
                std::to_string(rank);
        return -1;
    }
    const Eigen::MatrixXd unrotated = scaled * spectrum.axes;
    Eigen::MatrixXd rotation =
        VarimaxRotation(unrotated, settings, solution.varimaxIterations, solution.varimaxConverged);
    Eigen::MatrixXd rotated = unrotated * rotation;

    // Largest variance first; each factor's loadings sum to a positive number.
    const Eigen::VectorXd variance = rotated.array().square().colwise().sum().transpose();
    std::vector<Eigen::Index> order(static_cast<size_t>(k));
    std::iota(order.begin(), order.end(), Eigen::Index{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](Eigen::Index a, Eigen::Index b) { return variance(a) > variance(b); });
    Eigen::MatrixXd arranged(k, k);
    for (Eigen::Index j = 0; j < k; ++j) {
        const Eigen::Index from = order[static_cast<size_t>(j)];
        const double sign = rotated.col(from).sum() < 0.0 ? -1.0 : 1.0;
        arranged.col(j) = sign * rotation.col(from);
    }
    solution.loadings = unrotated * arranged;
    solution.scores = spectrum.axes * arranged;
    solution.communality = solution.loadings.rowwise().squaredNorm();
    solution.rotatedVariance = solution.loadings.array().square().colwise().sum().transpose();
    return 0;
}

void ProjectOnFactors(const Eigen::MatrixXd& scaled, const Eigen::MatrixXd& scores,
                      Eigen::MatrixXd& loadings, Eigen::VectorXd& communality) {
    loadings = scaled * scores;
    communality = loadings.rowwise().squaredNorm();
}

} // namespace quillon
