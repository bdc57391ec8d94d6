#include "quillon/workload/synthetic.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>

namespace quillon {

namespace {

std::string Format(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Format(const char* format, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Code(int species) {
    std::string code = "Sp" + std::to_string(species + 1);
    code.resize(8, ' ');
    return code;
}

std::string CensusBlock(const Eigen::MatrixXd& census, const char* prefix) {
    std::string text;
    for (Eigen::Index i = 0; i < census.rows(); ++i) {
        text += prefix + std::to_string(i + 1) + "\n";
        for (Eigen::Index s = 0; s < census.cols(); ++s)
            text += Code(static_cast<int>(s)) + Format("%5.0f", census(i, s)) + "\n";
    }
    return text;
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

} // namespace

SyntheticData MakeSyntheticData(const SyntheticShape& shape) {
    std::mt19937_64 random(shape.seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    // End members: a few dominant species each, the rest rare.
    Eigen::MatrixXd ends(shape.endMembers, shape.species);
    for (Eigen::Index e = 0; e < ends.rows(); ++e)
        for (Eigen::Index s = 0; s < ends.cols(); ++s) {
            const double u = uniform(random);
            ends(e, s) = u > 0.8 ? 1.0 + 9.0 * uniform(random) : 0.2 * u;
        }
    auto mixtures = [&](int count) {
        Eigen::MatrixXd weights(count, shape.endMembers);
        for (Eigen::Index i = 0; i < weights.rows(); ++i) {
            for (Eigen::Index e = 0; e < weights.cols(); ++e)
                weights(i, e) = std::pow(uniform(random), 3.0);
            weights.row(i) /= weights.row(i).sum();
        }
        return weights;
    };
    auto census = [&](const Eigen::MatrixXd& weights) -> Eigen::MatrixXd {
        Eigen::MatrixXd values = weights * ends;
        for (Eigen::Index i = 0; i < values.rows(); ++i) {
            for (Eigen::Index s = 0; s < values.cols(); ++s)
                values(i, s) *= std::exp(shape.noise * (2.0 * uniform(random) - 1.0) * 3.0);
            values.row(i) *= 1000.0 / values.row(i).sum();
        }
        return values.array().round().matrix();
    };
    SyntheticData data;
    const Eigen::MatrixXd referenceWeights = mixtures(shape.references);
    data.reference = census(referenceWeights);
    data.core = census(mixtures(shape.cores));
    data.environment.resize(shape.references, shape.variables);
    for (Eigen::Index u = 0; u < shape.variables; ++u)
        for (Eigen::Index i = 0; i < shape.references; ++i) {
            double value = 0.0;
            for (Eigen::Index e = 0; e < shape.endMembers; ++e)
                value += referenceWeights(i, e) * (2.0 + 25.0 * std::sin(1.0 + e + 2.0 * u));
            value += 3.0 * referenceWeights(i, 0) * referenceWeights(i, 0);
            data.environment(i, u) = value + shape.noise * 4.0 * (uniform(random) - 0.5);
        }
    return data;
}

std::string CapFacText(const std::string& projectName, const Eigen::MatrixXd& census, int factors) {
    std::string text = projectName + "\n";
    text += Format("Anzahl der Arten         :%8d\n", static_cast<int>(census.cols()));
    text += Format("Anzahl der Proben        :%8d\n", static_cast<int>(census.rows()));
    text += "(%) der Matrix besetzt   :   100.0\n";
    text += "Transformationskontrolle :       0\n";
    text += Format("Faktorenanzahl           :%8d\n", factors);
    text += "Ausgabekontrolle         :       0\n";
    text += "Exitkontrolle            :       0\n";
    text += "Plotkontrolle            :       0\n";
    text += "Bezeichnung der Arten    :\n";
    for (Eigen::Index s = 0; s < census.cols(); ++s)
        text += Code(static_cast<int>(s)) + "\n";
    text += "Kernbezeichnung + Artenzahl\n";
    return text + CensusBlock(census, "R");
}

std::string RegressText(const Eigen::MatrixXd& environment, int factors, int power) {
    const int v = static_cast<int>(environment.cols());
    std::string text = " NNN            0\n";
    text += Format(" DEP.VAR. %7d\n", v);
    text += " IYY            0\n";
    text += Format(" ANZ.SELEC%7d\n", v);
    text += " PCT          0.0\n";
    text += Format(" IPOW     %7d\n", power);
    for (const char* keyword :
         {" KEQ            0", " JPUN           0", " IPUN           0", " KPUNY          0",
          " IRB            0", " IRY            0", " IPY            0", " IWY            0",
          " IWYH           0", " MEND           0"})
        text += std::string(keyword) + "\n";
    for (Eigen::Index i = 0; i < environment.rows(); ++i) {
        text += "Parameteranzahl\nCore : R" + std::to_string(i + 1) + "\n";
        for (int u = 0; u < v; ++u)
            text +=
                "Var" + std::to_string(u + 1) + "    " + Format("%10.5f", environment(i, u)) + "\n";
    }
    const size_t terms = static_cast<size_t>(factors * (factors + 3) / 2 + v);
    for (int u = 0; u < v; ++u) {
        std::string codes(terms, '0');
        for (int t = 0; t < v; ++t)
            codes[static_cast<size_t>(t)] = t == u ? '3' : '2';
        text += codes + "\n";
    }
    return text;
}

std::string ThreadText(const Eigen::MatrixXd& census) {
    return Format("Samples%6d\n", static_cast<int>(census.rows())) + CensusBlock(census, "C");
}

std::string ProjectText(const std::string& name, const std::string& capFac,
                        const std::string& regress, const std::string& thread, int factors,
                        int power) {
    return "Project: " + name + "\n" + capFac + "\n" + Format("0 0 0 0 0 %d 0 0 0 1\n", factors) +
           regress + "\n" + Format("0 %d 0 0 0 0 0 0 0 1\n", power) + thread + "\n" +
           "0 0 0 0 0 0 0 0 0 1\n";
}

fs::path WriteSyntheticProject(const fs::path& folder, const std::string& name,
                               const SyntheticShape& shape) {
    const SyntheticData data = MakeSyntheticData(shape);
    const fs::path project = folder / PathFromUtf8(name + ".pro");
    const bool written = WriteText(folder / PathFromUtf8(name + ".cap"),
                                   CapFacText(name, data.reference, shape.factors)) &&
                         WriteText(folder / PathFromUtf8(name + ".reg"),
                                   RegressText(data.environment, shape.factors, shape.power)) &&
                         WriteText(folder / PathFromUtf8(name + ".thr"), ThreadText(data.core)) &&
                         WriteText(project, ProjectText(name, name + ".cap", name + ".reg",
                                                        name + ".thr", shape.factors, shape.power));
    return written ? project : fs::path();
}

} // namespace quillon
