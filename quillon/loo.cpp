#include "quillon/loo.h"

#include <Eigen/Eigenvalues>
#include <Eigen/SVD>

#include <algorithm>
#include <cmath>
#include <map>
#include <system_error>
#include <thread>
#include <vector>

namespace quillon {

namespace {

// The axes beyond the leading ones stay in the head until their eigenvalue is below this share
// of the first one after the factors: the Krylov space of the rest then converges quickly.
constexpr double kTailRatio = 0.5;
constexpr Eigen::Index kMaxHeadExtra = 64;
// Krylov dimensions tried in turn before the full eigendecomposition.
constexpr Eigen::Index kKrylovSteps[] = {16, 32, 64};
// A Ritz pair is accepted when |M x - theta x| is below this share of the largest eigenvalue:
// about a hundred times the rounding of the products themselves.
constexpr double kResidualTolerance = 1e-12;
// Folds whose loadings are computed in one matrix product.
constexpr size_t kFoldBatch = 16;

void DenseFactors(const Eigen::VectorXd& eigenvalues, const Eigen::VectorXd& g, int factorCount,
                  Eigen::MatrixXd& vectors) {
    Eigen::MatrixXd matrix = -g * g.transpose();
    matrix.diagonal() += eigenvalues;
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(matrix);
    vectors = solver.eigenvectors().rightCols(factorCount).rowwise().reverse();
}

// The samples whose value of a variable is known, and the variables that share them: one
// regression per group and fold.
struct VariableGroup {
    std::vector<Eigen::Index> variables;
    std::vector<bool> known;
};

std::vector<VariableGroup> GroupByKnownValues(const Eigen::MatrixXd& observed) {
    std::map<std::vector<bool>, size_t> index;
    std::vector<VariableGroup> groups;
    for (Eigen::Index u = 0; u < observed.cols(); ++u) {
        std::vector<bool> known(static_cast<size_t>(observed.rows()));
        for (Eigen::Index i = 0; i < observed.rows(); ++i)
            known[static_cast<size_t>(i)] = !std::isnan(observed(i, u));
        const auto [entry, added] = index.emplace(known, groups.size());
        if (added)
            groups.push_back({{}, known});
        groups[entry->second].variables.push_back(u);
    }
    return groups;
}

// The estimates of the left-out sample `out` from the regressions on the other samples, given
// every sample's loadings on the factors of the fold. Returns 0, or -1 when a regression of
// the fold is singular or has no more samples than coefficients.
int EstimateLeftOut(const Eigen::MatrixXd& foldLoadings, Eigen::Index out,
                    const LooProblem& problem, const std::vector<VariableGroup>& groups,
                    LooResult& result) {
    const Eigen::RowVectorXd x0 = DesignMatrix(foldLoadings.row(out), problem.form);
    for (const VariableGroup& group : groups) {
        std::vector<Eigen::Index> rows;
        for (Eigen::Index i = 0; i < foldLoadings.rows(); ++i)
            if (i != out && group.known[static_cast<size_t>(i)])
                rows.push_back(i);
        const auto n = static_cast<Eigen::Index>(rows.size());
        if (n < x0.size())
            return -1;
        Eigen::MatrixXd loadings(n, foldLoadings.cols());
        Eigen::MatrixXd y(n, static_cast<Eigen::Index>(group.variables.size()));
        for (Eigen::Index row = 0; row < n; ++row) {
            loadings.row(row) = foldLoadings.row(rows[static_cast<size_t>(row)]);
            for (size_t u = 0; u < group.variables.size(); ++u)
                y(row, static_cast<Eigen::Index>(u)) =
                    problem.observed(rows[static_cast<size_t>(row)], group.variables[u]);
        }
        Eigen::HouseholderQR<Eigen::MatrixXd> qr;
        int column = 0;
        if (FactoriseDesign(DesignMatrix(loadings, problem.form), qr, column) != 0)
            return -1;
        const Eigen::MatrixXd coefficients = qr.solve(y);
        for (size_t u = 0; u < group.variables.size(); ++u)
            result.estimates(out, group.variables[u]) =
                x0.dot(coefficients.col(static_cast<Eigen::Index>(u)));
    }
    result.communality(out) = foldLoadings.row(out).squaredNorm();
    return 0;
}

void PrepareResult(const LooProblem& problem, LooResult& result) {
    result.estimates.setConstant(problem.observed.rows(), problem.observed.cols(), std::nan(""));
    result.communality.setZero(problem.observed.rows());
    result.exactFolds = 0;
}

std::string FoldError(int sample) {
    return "leaving out reference sample " + std::to_string(sample + 1) +
           " leaves a singular regression (or no more samples than coefficients): the "
           "leave-one-out error cannot be computed; use fewer factors or the linear model";
}

} // namespace

bool DowndatedFactors(const Eigen::VectorXd& eigenvalues, const Eigen::VectorXd& g, int factorCount,
                      int denseAxes, Eigen::MatrixXd& vectors) {
    const Eigen::Index r = eigenvalues.size();
    const Eigen::Index k = factorCount;
    Eigen::Index h = k + 1;
    while (h < r && h < k + 1 + kMaxHeadExtra && eigenvalues(h) > kTailRatio * eigenvalues(k))
        ++h;
    if (r <= denseAxes || h + kKrylovSteps[0] >= r) {
        DenseFactors(eigenvalues, g, factorCount, vectors);
        return true;
    }
    // The eigenvectors with eigenvalue mu are (D - mu)^-1 g: exact on the head axes, and on
    // the tail, where mu lies well above every eigenvalue, close to a polynomial in D_tail
    // applied to g_tail, that is to the Krylov space of D_tail and g_tail.
    const Eigen::Index tail = r - h;
    const Eigen::VectorXd gHead = g.head(h);
    const Eigen::VectorXd gTail = g.tail(tail);
    const Eigen::VectorXd dTail = eigenvalues.tail(tail);
    const Eigen::Index maxSteps = std::min(kKrylovSteps[std::size(kKrylovSteps) - 1], tail);
    Eigen::MatrixXd krylov(tail, maxSteps);
    Eigen::Index t = 0;
    bool exhausted = true;
    if (const double beta = gTail.norm(); beta > 0.0) {
        krylov.col(0) = gTail / beta;
        t = 1;
        exhausted = false;
    }
    for (const Eigen::Index steps : kKrylovSteps) {
        // A Krylov space as large as the tail is the tail: the projection is then exact.
        exhausted = exhausted || t == tail;
        while (!exhausted && t < std::min(steps, tail)) {
            Eigen::VectorXd w = dTail.cwiseProduct(krylov.col(t - 1));
            const double before = w.norm();
            // Gram-Schmidt twice keeps the basis orthonormal to rounding.
            for (int pass = 0; pass < 2; ++pass)
                w -= krylov.leftCols(t) * (krylov.leftCols(t).transpose() * w);
            const double after = w.norm();
            if (!(after > 1e-12 * before)) {
                exhausted = true; // the space is invariant: the projection is exact
                break;
            }
            krylov.col(t++) = w / after;
        }
        const Eigen::Index size = h + t;
        Eigen::MatrixXd projected = Eigen::MatrixXd::Zero(size, size);
        projected.topLeftCorner(h, h) = -gHead * gHead.transpose();
        projected.diagonal().head(h) += eigenvalues.head(h);
        if (t > 0) {
            const auto basis = krylov.leftCols(t);
            const Eigen::VectorXd c = basis.transpose() * gTail;
            projected.bottomRightCorner(t, t) =
                basis.transpose() * (dTail.asDiagonal() * basis) - c * c.transpose();
            projected.topRightCorner(h, t) = -gHead * c.transpose();
            projected.bottomLeftCorner(t, h) = projected.topRightCorner(h, t).transpose();
        }
        const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(projected);
        const Eigen::MatrixXd ritz = solver.eigenvectors().rightCols(k).rowwise().reverse();
        const Eigen::VectorXd theta = solver.eigenvalues().tail(k).reverse();
        vectors.setZero(r, k);
        vectors.topRows(h) = ritz.topRows(h);
        if (t > 0)
            vectors.bottomRows(tail) = krylov.leftCols(t) * ritz.bottomRows(t);
        const Eigen::MatrixXd residual = eigenvalues.asDiagonal() * vectors -
                                         g * (g.transpose() * vectors) -
                                         vectors * theta.asDiagonal();
        const double tolerance = kResidualTolerance * eigenvalues(0);
        // Removing a sample can only lower eigenvalues, each at most to the next one: the
        // k-th Ritz value below the (k+1)-th eigenvalue means a leading vector was missed.
        if (residual.colwise().norm().maxCoeff() <= tolerance &&
            theta(k - 1) >= eigenvalues(k) - tolerance)
            return true;
        if (exhausted)
            break;
    }
    DenseFactors(eigenvalues, g, factorCount, vectors);
    return false;
}

int LeaveOneOut(const Spectrum& spectrum, const LooProblem& problem, int threads, LooResult& result,
                int& failedSample, std::string& error) {
    const Eigen::Index samples = spectrum.coordinates.rows();
    PrepareResult(problem, result);
    const std::vector<VariableGroup> groups = GroupByKnownValues(problem.observed);
    const int workers =
        static_cast<int>(std::clamp<Eigen::Index>(threads, 1, std::max<Eigen::Index>(1, samples)));
    std::vector<Eigen::Index> firstFailure(static_cast<size_t>(workers), samples);
    std::vector<int> exact(static_cast<size_t>(workers), 0);

    // Worker w takes folds w, w + workers, ...; every fold writes its own row only. The
    // loadings of several folds come from one product with the coordinates, which is then
    // read once for all of them.
    auto work = [&](int w) {
        const int k = problem.factorCount;
        Eigen::MatrixXd vectors;
        Eigen::MatrixXd batchVectors(spectrum.eigenvalues.size(), kFoldBatch * k);
        std::vector<Eigen::Index> batch;
        for (Eigen::Index first = w; first < samples; first += workers * kFoldBatch) {
            batch.clear();
            for (Eigen::Index i = first; i < samples && batch.size() < kFoldBatch; i += workers) {
                const Eigen::VectorXd g = spectrum.coordinates.row(i).transpose();
                if (!DowndatedFactors(spectrum.eigenvalues, g, k, problem.denseAxes, vectors))
                    ++exact[static_cast<size_t>(w)];
                batchVectors.middleCols(static_cast<Eigen::Index>(batch.size()) * k, k) = vectors;
                batch.push_back(i);
            }
            const auto width = static_cast<Eigen::Index>(batch.size()) * k;
            const Eigen::MatrixXd loadings = spectrum.coordinates * batchVectors.leftCols(width);
            for (size_t b = 0; b < batch.size(); ++b) {
                const Eigen::MatrixXd foldLoadings =
                    loadings.middleCols(static_cast<Eigen::Index>(b) * k, k);
                if (EstimateLeftOut(foldLoadings, batch[b], problem, groups, result) != 0) {
                    firstFailure[static_cast<size_t>(w)] = batch[b];
                    return;
                }
            }
        }
    };
    std::vector<std::thread> pool;
    int started = 1;
    for (; started < workers; ++started) {
        try {
            pool.emplace_back(work, started);
        } catch (const std::system_error&) {
            break; // no more threads to be had: this one does the rest
        }
    }
    work(0);
    for (int w = started; w < workers; ++w)
        work(w);
    for (std::thread& thread : pool)
        thread.join();

    for (const int count : exact)
        result.exactFolds += count;
    const Eigen::Index failed = *std::min_element(firstFailure.begin(), firstFailure.end());
    if (failed < samples) {
        failedSample = static_cast<int>(failed);
        error = FoldError(failedSample);
        return -1;
    }
    return 0;
}

int LeaveOneOutDirect(const Eigen::MatrixXd& scaled, const LooProblem& problem, LooResult& result,
                      int& failedSample, std::string& error) {
    const Eigen::Index samples = scaled.rows();
    PrepareResult(problem, result);
    const std::vector<VariableGroup> groups = GroupByKnownValues(problem.observed);
    for (Eigen::Index i = 0; i < samples; ++i) {
        Eigen::MatrixXd without(samples - 1, scaled.cols());
        without.topRows(i) = scaled.topRows(i);
        without.bottomRows(samples - 1 - i) = scaled.bottomRows(samples - 1 - i);
        const Eigen::JacobiSVD<Eigen::MatrixXd> svd(without, Eigen::ComputeThinV);
        const Eigen::MatrixXd foldLoadings = scaled * svd.matrixV().leftCols(problem.factorCount);
        if (EstimateLeftOut(foldLoadings, i, problem, groups, result) != 0) {
            failedSample = static_cast<int>(i);
            error = FoldError(failedSample);
            return -1;
        }
    }
    return 0;
}

} // namespace quillon
