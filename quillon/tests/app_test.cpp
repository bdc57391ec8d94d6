// Whole runs on projects in the workbench's forms: the outputs and their forms, what must not
// change them, the console dialog, and bad input that must leave nothing written.
#include "quillon/app.h"
#include "quillon/dialog.h"
#include "quillon/workload/synthetic.h"

#include "testing/test_support.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <sstream>

namespace quillon {
namespace {

using testsupport::TempDir;

struct Files {
    std::string project, capFac, regress, thread;
};

Files MakeFiles(const SyntheticData& data, int factors = 3, int power = 1) {
    return {ProjectText("Survey", "Survey.cap", "Survey.reg", "Survey.thr", factors, power),
            CapFacText("Survey", data.reference, factors),
            RegressText(data.environment, factors, power), ThreadText(data.core)};
}

SyntheticData Data() {
    SyntheticShape shape;
    shape.references = 40;
    shape.species = 12;
    shape.cores = 9;
    shape.variables = 2;
    return MakeSyntheticData(shape);
}

struct RunOutcome {
    int status;
    std::string out;
    std::string err;
};

RunOutcome RunFiles(const TempDir& dir, const Files& files) {
    dir.Write("Survey.pro", files.project);
    dir.Write("Survey.cap", files.capFac);
    dir.Write("Survey.reg", files.regress);
    dir.Write("Survey.thr", files.thread);
    std::ostringstream out;
    std::ostringstream err;
    AppOptions options;
    options.threads = 2;
    const int status = RunProject(dir.File("Survey.pro"), out, err, options);
    return {status, out.str(), err.str()};
}

using Table = std::vector<std::vector<std::string>>;

Table ReadTable(const std::string& text) {
    Table table;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            cells.push_back(line.substr(start, tab - start));
        cells.push_back(line.substr(start));
        table.push_back(cells);
    }
    return table;
}

double Number(const std::string& cell) {
    double value = std::nan("");
    std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return value;
}

// Every number of two tables agrees to `tolerance` (relative), every text exactly.
void ExpectSameTable(const Table& a, const Table& b, double tolerance, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t r = 0; r < a.size(); ++r) {
        ASSERT_EQ(a[r].size(), b[r].size()) << what << " row " << r;
        for (size_t c = 0; c < a[r].size(); ++c) {
            const double x = Number(a[r][c]);
            const double y = Number(b[r][c]);
            if (std::isnan(x) || std::isnan(y)) {
                EXPECT_EQ(a[r][c], b[r][c]) << what << " row " << r << " column " << c;
            } else {
                EXPECT_NEAR(x, y, tolerance * (1.0 + std::abs(y)))
                    << what << " row " << r << " column " << c;
            }
        }
    }
}

const char* const kOutputs[] = {
    "Survey.out",          "Survey_factors.tsv",    "Survey_calibration.tsv",
    "Survey_cv.tsv",       "Survey_cv_summary.tsv", "Survey_core_factors.tsv",
    "Survey_estimates.tsv"};

TEST(AppTest, WritesEveryOutputInItsForm) {
    TempDir dir;
    const RunOutcome run = RunFiles(dir, MakeFiles(Data()));
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : kOutputs)
        EXPECT_TRUE(dir.Has(name)) << name;
    EXPECT_FALSE(dir.Has("Survey.out.quillon-tmp"));
    const Table estimates = ReadTable(dir.Read("Survey_estimates.tsv"));
    EXPECT_EQ(estimates[0], (std::vector<std::string>{"Sample", "Communality", "Var1", "Var1_SE",
                                                      "Var2", "Var2_SE", "Percentile", "Flag"}));
    ASSERT_EQ(estimates.size(), 10u);
    EXPECT_EQ(estimates[1][0], "C1");
    EXPECT_EQ(estimates[9][0], "C9");
    for (size_t r = 1; r < estimates.size(); ++r)
        for (size_t c = 1; c < 7; ++c)
            EXPECT_NE(estimates[r][c].find('.'), std::string::npos) << estimates[r][c];
    EXPECT_EQ(
        ReadTable(dir.Read("Survey_cv.tsv"))[0],
        (std::vector<std::string>{"Sample", "Var1_observed", "Var1_estimated", "Var1_residual",
                                  "Var2_observed", "Var2_estimated", "Var2_residual"}));
    const Table summary = ReadTable(dir.Read("Survey_cv_summary.tsv"));
    EXPECT_EQ(summary[0], (std::vector<std::string>{"Method", "Variable", "Samples", "Folds",
                                                    "RMSEP", "R2", "Mean_bias", "Max_bias"}));
    EXPECT_EQ(summary[1][0], "factor");
    EXPECT_EQ(summary[1][3], "40");
    EXPECT_EQ(ReadTable(dir.Read("Survey_calibration.tsv"))[1][1], "10");
    EXPECT_EQ(ReadTable(dir.Read("Survey_factors.tsv"))[0],
              (std::vector<std::string>{"Sample", "Communality", "F1", "F2", "F3"}));
    const Table coreFactors = ReadTable(dir.Read("Survey_core_factors.tsv"));
    EXPECT_EQ(coreFactors[0], ReadTable(dir.Read("Survey_factors.tsv"))[0]);
    // The communality is the sum of the squared loadings, the same in both tables.
    for (size_t r = 1; r < coreFactors.size(); ++r) {
        double sum = 0.0;
        for (size_t c = 2; c < 5; ++c)
            sum += Number(coreFactors[r][c]) * Number(coreFactors[r][c]);
        EXPECT_NEAR(sum, Number(coreFactors[r][1]), 1e-6);
        EXPECT_EQ(coreFactors[r][1], estimates[r][1]);
    }
    EXPECT_NE(run.out.find("RMSEP"), std::string::npos);
    EXPECT_NE(dir.Read("Survey.out").find("Cross-validation (leave-one-out)"), std::string::npos);
}

TEST(AppTest, EstimatesDoNotDependOnScalingPermutingOrTheLineEnds) {
    const SyntheticData data = Data();
    TempDir baseDir;
    ASSERT_EQ(RunFiles(baseDir, MakeFiles(data)).status, 0);
    const Table base = ReadTable(baseDir.Read("Survey_estimates.tsv"));
    const Table baseCv = ReadTable(baseDir.Read("Survey_cv_summary.tsv"));

    auto expectSame = [&](const Files& files, const std::string& what, bool cvToo) {
        TempDir dir;
        const RunOutcome run = RunFiles(dir, files);
        ASSERT_EQ(run.status, 0) << what << run.err;
        ExpectSameTable(ReadTable(dir.Read("Survey_estimates.tsv")), base, 1e-8, what);
        if (cvToo)
            ExpectSameTable(ReadTable(dir.Read("Survey_cv_summary.tsv")), baseCv, 1e-8, what);
    };
    SyntheticData scaled = data;
    scaled.reference.row(5) *= 3.0;
    scaled.core.row(2) *= 2.0;
    expectSame(MakeFiles(scaled), "counts of a sample scaled", true);

    Eigen::PermutationMatrix<Eigen::Dynamic> species(12);
    species.indices() << 4, 7, 0, 11, 2, 9, 1, 6, 3, 10, 5, 8;
    SyntheticData speciesPermuted = data;
    speciesPermuted.reference = data.reference * species;
    speciesPermuted.core = data.core * species;
    expectSame(MakeFiles(speciesPermuted), "species permuted", true);

    Files crlf = MakeFiles(data);
    for (std::string* text : {&crlf.project, &crlf.capFac, &crlf.regress, &crlf.thread}) {
        std::string withCr;
        for (const char c : *text) {
            if (c == '\n')
                withCr += '\r';
            withCr += c;
        }
        *text = withCr;
    }
    expectSame(crlf, "CR LF line ends", true);

    // Reversed reference samples: the same estimates (the sample names move with them).
    SyntheticData reversed = data;
    reversed.reference = data.reference.colwise().reverse();
    reversed.environment = data.environment.colwise().reverse();
    Files reversedFiles = MakeFiles(reversed);
    TempDir dir;
    ASSERT_EQ(RunFiles(dir, reversedFiles).status, 0);
    ExpectSameTable(ReadTable(dir.Read("Survey_estimates.tsv")), base, 1e-8, "samples reversed");
}

struct BadCase {
    const char* what;
    std::function<void(Files&)> edit;
    const char* expected;
};

// Line `number` (1-based) of `text` becomes `line`.
void ReplaceLine(std::string& text, int number, const std::string& line) {
    size_t start = 0;
    for (int n = 1; n < number; ++n)
        start = text.find('\n', start) + 1;
    text.replace(start, text.find('\n', start) - start, line);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

TEST(AppTest, BadInputIsNamedAndNothingIsWritten) {
    const SyntheticData data = Data();
    const std::vector<BadCase> cases = {
        {"missing file", [](Files& f) { Replace(f.project, "Survey.cap", "Missing.cap"); },
         "Missing.cap: the file does not exist"},
        {"sample count",
         [](Files& f) { Replace(f.capFac, "Proben        :      40", "Proben        :      41"); },
         "Survey.cap, line 544: the file ends here, after 40 of the 41 samples"},
        {"species differ", [](Files& f) { Replace(f.thread, "\nSp3     ", "\nSp33    "); },
         "Survey.thr, line 5: expected species 3 of 12 of sample \"C1\", the code \"Sp3     \""},
        {"stations",
         [](Files& f) {
             const size_t from = f.regress.find("Parameteranzahl\nCore : R40\n");
             f.regress.erase(from, f.regress.find("\n32000000000") + 1 - from);
         },
         "holds 39 stations, "},
        {"NaN", [](Files& f) { ReplaceLine(f.capFac, 38, "Sp1       nan"); },
         "Survey.cap, line 38: the value \"nan\" is not a number (NaN)"},
        {"negative", [](Files& f) { ReplaceLine(f.thread, 16, "Sp1        -1"); },
         "Survey.thr, line 16: the value -1 is negative"},
        {"non-numeric", [](Files& f) { ReplaceLine(f.capFac, 52, "Sp2        4a"); },
         "Survey.cap, line 52: \"4a\" is not a number"},
        {"term codes", [](Files& f) { Replace(f.regress, "32000000000", "3200000000"); },
         "the term-code line has 10 digits; with 3 factors and 2 variables it needs k(k+3)/2 + "
         "v = 11"},
        {"no CapFac",
         [](Files& f) { Replace(f.project, "0 0 0 0 0 3 0 0 0 1", "0 0 0 0 0 3 0 0 0 0"); },
         "Survey.pro, line 3: CapFac is not used"},
        {"no tool",
         [](Files& f) {
             f.project = ProjectText("Survey", "Survey.cap", "Survey.reg", "Survey.thr", 3, 1);
             std::string& p = f.project;
             for (size_t at; (at = p.find(" 1\n")) != std::string::npos;)
                 p.replace(at, 3, " 0\n");
         },
         "no tool is used"},
        {"workbench failure", [](Files& f) { Replace(f.project, "Survey.thr", "No Thread file"); },
         "Survey.pro, line 6: the workbench could not write the Thread file"},
        {"undefined parameter",
         [](Files& f) { Replace(f.project, "0 0 0 0 0 3 0 0 0 1", "7 0 0 0 0 3 0 0 0 1"); },
         "Survey.pro, line 3: CapFac parameter 1 is 7"},
        {"empty reference sample",
         [](Files& f) {
             for (int s = 1; s <= 12; ++s) {
                 std::string code = "Sp" + std::to_string(s);
                 code.resize(8, ' ');
                 const size_t at = f.capFac.find("\n" + code, f.capFac.find("\nR7\n"));
                 f.capFac.replace(at + 9, 5, "    0");
             }
         },
         "Survey.cap, line 102: reference sample \"R7\" has no specimen"},
        {"station names", [](Files& f) { Replace(f.regress, "Core : R2\n", "Core : X2\n"); },
         "station 2 is \"X2\" but reference sample 2 of"},
        {"too many terms",
         [](Files& f) {
             Replace(f.capFac, "Faktorenanzahl           :       3",
                     "Faktorenanzahl           :       8");
             for (int u = 0; u < 2; ++u)
                 Replace(f.regress, u == 0 ? "32000000000\n" : "23000000000\n",
                         std::string(u == 0 ? "32" : "23") + std::string(44, '0') + "\n");
         },
         "the model has 45 coefficients but only 40 samples"},
    };
    for (const BadCase& c : cases) {
        Files files = MakeFiles(data);
        c.edit(files);
        TempDir dir;
        const RunOutcome run = RunFiles(dir, files);
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_NE(run.err.find(c.expected), std::string::npos) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find("Nothing has been written."), std::string::npos) << c.what;
        for (const char* name : kOutputs)
            EXPECT_FALSE(dir.Has(name)) << c.what << ": " << name;
    }
}

TEST(AppTest, DisagreeingProjectParametersAreWarnedAbout) {
    Files files = MakeFiles(Data());
    Replace(files.project, "0 0 0 0 0 3 0 0 0 1", "0 0 0 0 0 4 0 0 0 1");
    TempDir dir;
    const RunOutcome run = RunFiles(dir, files);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string warning = "line 3: The number of factors is 4 in the project but 3 in ";
    EXPECT_NE(run.out.find(warning), std::string::npos) << run.out;
    EXPECT_NE(dir.Read("Survey.out").find(warning), std::string::npos);
}

TEST(AppTest, CapFacAloneAndCapFacWithThread) {
    const SyntheticData data = Data();
    Files files = MakeFiles(data);
    Replace(files.project, "0 1 0 0 0 0 0 0 0 1", "0 1 0 0 0 0 0 0 0 0");
    TempDir dir;
    ASSERT_EQ(RunFiles(dir, files).status, 0);
    EXPECT_TRUE(dir.Has("Survey_estimates.tsv"));
    EXPECT_FALSE(dir.Has("Survey_cv.tsv"));
    EXPECT_EQ(ReadTable(dir.Read("Survey_estimates.tsv"))[0],
              (std::vector<std::string>{"Sample", "Communality", "Percentile", "Flag"}));
    Replace(files.project, "0 0 0 0 0 0 0 0 0 1", "0 0 0 0 0 0 0 0 0 0");
    TempDir alone;
    ASSERT_EQ(RunFiles(alone, files).status, 0);
    EXPECT_TRUE(alone.Has("Survey_factors.tsv"));
    EXPECT_FALSE(alone.Has("Survey_estimates.tsv"));
}

TEST(AppTest, AForeignCoreIsMarkedNoAnalog) {
    SyntheticData data = Data();
    // A core sample made of the rarest species only.
    data.core.row(4).setZero();
    Eigen::Index rarest = 0;
    data.reference.colwise().sum().minCoeff(&rarest);
    data.core(4, rarest) = 100;
    TempDir dir;
    const RunOutcome run = RunFiles(dir, MakeFiles(data));
    ASSERT_EQ(run.status, 0) << run.err;
    const Table estimates = ReadTable(dir.Read("Survey_estimates.tsv"));
    EXPECT_EQ(estimates[5][7], "no analog");
    EXPECT_EQ(estimates[5][6], "0.0");
    EXPECT_NE(run.out.find("marked \"no analog\""), std::string::npos);
}

TEST(AppTest, TheDialogProposesTheRememberedProjectAndPausesAtTheEnd) {
    TempDir dir;
    ASSERT_EQ(RunFiles(dir, MakeFiles(Data())).status, 0);
    TempDir work;
    AppOptions options;
    options.workFolder = PathFromUtf8(work.Folder());
    std::istringstream in(dir.Folder() + "\nSurvey.pro\n\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunQuillon({}, in, out, err, options), 0) << err.str();
    EXPECT_NE(out.str().find(" Default path: " + std::string(kNativeStyle.defaultPath, 2)),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find(" Default Filename: TransferFunction_Project1.pro"),
              std::string::npos);
    EXPECT_NE(out.str().find(" Ready. Press return..."), std::string::npos);
    const std::string remembered = dir.Folder() + "Survey.pro";
    EXPECT_EQ(work.Read(kIniFileName),
              remembered + std::string(kIniLineLength - remembered.size(), ' ') + "\n");
    // The next start proposes it; empty replies (and a single ".") keep it.
    std::istringstream again(".\n\n");
    std::ostringstream out2;
    EXPECT_EQ(RunQuillon({}, again, out2, err, options), 0) << err.str();
    EXPECT_NE(out2.str().find(" Default Filename: Survey.pro"), std::string::npos);
    EXPECT_NE(out2.str().find(" Project: " + remembered), std::string::npos);
}

TEST(AppTest, CommandLine) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunQuillon({"--version"}, in, out, err, {}), 0);
    EXPECT_EQ(out.str().rfind("quillon ", 0), 0u);
    EXPECT_EQ(RunQuillon({"--frobnicate"}, in, out, err, {}), 2);
    EXPECT_EQ(RunQuillon({"a.pro", "b.pro"}, in, out, err, {}), 2);
    EXPECT_NE(err.str().find("usage: quillon [PROJECT.pro]"), std::string::npos);
    EXPECT_EQ(RunQuillon({"/nowhere/x.pro"}, in, out, err, {}), 1);
    EXPECT_NE(err.str().find("/nowhere/x.pro: the file does not exist"), std::string::npos);
}

} // namespace
} // namespace quillon
