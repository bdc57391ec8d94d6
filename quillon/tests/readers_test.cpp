// The four readers on the exact forms the workbench writes, and on every kind of departure:
// each must be refused with the file, the line and what was expected.
#include "quillon/capfac_file.h"
#include "quillon/project_file.h"
#include "quillon/regress_file.h"
#include "quillon/thread_file.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillon {
namespace {

// A file of `lines`, with line `number` (1-based) replaced, removed (nullptr) or, past the
// end, added.
struct Edit {
    int line = 0;
    const char* text = nullptr;
};

TextFile Edited(const std::string& name, std::vector<std::string> lines, const Edit& edit) {
    if (edit.line > static_cast<int>(lines.size()))
        lines.push_back(edit.text);
    else if (edit.line > 0 && edit.text == nullptr)
        lines.erase(lines.begin() + edit.line - 1);
    else if (edit.line > 0)
        lines[static_cast<size_t>(edit.line - 1)] = edit.text;
    return TextFile{name, lines};
}

struct BadCase {
    Edit edit;
    const char* expected; // the whole message must contain it
};

// Each edit of the good `lines` must be refused by `read` with a message holding `expected`.
template <typename Read>
void ExpectRefused(const std::string& name, const std::vector<std::string>& lines,
                   const std::vector<BadCase>& cases, Read read) {
    for (const BadCase& c : cases) {
        std::string error;
        EXPECT_EQ(read(Edited(name, lines, c.edit), error), -1) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

const std::vector<std::string> kCapFac = {
    "Survey",
    "Anzahl der Arten         :       2",
    "Anzahl der Proben        :       3",
    "(%) der Matrix besetzt   :   100.0",
    "Transformationskontrolle :       0",
    "Faktorenanzahl           :       1",
    "Ausgabekontrolle         :       0",
    "Exitkontrolle            :       0",
    "Plotkontrolle            :       0",
    "Bezeichnung der Arten    :",
    "N. pachy",
    "Orb     ",
    "Kernbezeichnung + Artenzahl",
    "S1",
    "N. pachy    3",
    "Orb         4",
    "Sample two",
    "N. pachy12346",
    "Orb         0",
    "S3",
    "N. pachy    0",
    "Orb     123457",
};

TEST(CapFacFileTest, ReadsTheWorkbenchForm) {
    CapFacFile capFac;
    std::string error;
    ASSERT_EQ(ReadCapFacFile(TextFile{"s.cap", kCapFac}, capFac, error), 0) << error;
    EXPECT_EQ(capFac.projectName, "Survey");
    EXPECT_EQ(capFac.factorCount, 1);
    EXPECT_EQ(capFac.census.codes, (std::vector<std::string>{"N. pachy", "Orb     "}));
    EXPECT_EQ(capFac.census.samples, (std::vector<std::string>{"S1", "Sample two", "S3"}));
    EXPECT_EQ(capFac.census.sampleLines, (std::vector<int>{14, 17, 20}));
    Eigen::MatrixXd expected(3, 2);
    expected << 3, 4, 12346, 0, 0, 123457;
    EXPECT_EQ(capFac.census.values, expected);
}

TEST(CapFacFileTest, ACodeLineWithoutItsPaddingIsPaddedAgain) {
    CapFacFile capFac;
    std::string error;
    ASSERT_EQ(ReadCapFacFile(Edited("s.cap", kCapFac, {12, "Orb"}), capFac, error), 0) << error;
    EXPECT_EQ(capFac.census.codes[1], "Orb     ");
}

TEST(CapFacFileTest, RefusesEveryDeparture) {
    ExpectRefused(
        "s.cap", kCapFac,
        {
            {{2, "Anzahl der Arten: 2"}, "s.cap, line 2: expected \"Anzahl der Arten"},
            {{3, "Anzahl der Proben        :       4"},
             "line 23: the file ends here, after 3 of the 4 samples"},
            {{3, "Anzahl der Proben        :       2"},
             "line 20: expected the end of the file after the 2 samples"},
            {{4, "(%) der Matrix besetzt   :    50.0"}, "line 4: a census matrix filled to 50.0"},
            {{5, "Transformationskontrolle :       1"},
             "line 5: \"Transformationskontrolle\" is 1: quillon knows only 0"},
            {{9, "Plotkontrolle            :       2"}, "line 9: \"Plotkontrolle\" is 2"},
            {{6, "Faktorenanzahl           :       3"},
             "line 6: 3 factors are more than the 2 species or the 3 samples"},
            {{6, "Faktorenanzahl           :       0"}, "line 6: the number of factors is 0"},
            {{2, "Anzahl der Arten         :       0"}, "at least one species"},
            {{10, "Species:"}, "line 10: expected \"Bezeichnung der Arten    :\""},
            {{11, "N. pachyderma"}, "line 11: expected the code of species 1 of 2"},
            {{13, "Kern"}, "line 13: expected \"Kernbezeichnung + Artenzahl\""},
            {{15, "N. pachy  nan"}, "line 15: the value \"nan\" is not a number (NaN)"},
            {{15, "N. pachy   -5"}, "line 15: the value -5 is negative"},
            {{16, "Orb       abc"}, "line 16: \"abc\" is not a number"},
            {{16, "Orb        1.5"}, "line 16: \"1.5\" is not a number"},
            {{19, "Orx         0"}, "line 19: expected species 2 of 2 of sample \"Sample two\""},
            {{22, nullptr}, "line 22: the file ends inside sample \"S3\""},
            {{1, nullptr}, "line 2: expected \"Anzahl der Arten"},
        },
        [](const TextFile& file, std::string& error) {
            CapFacFile capFac;
            return ReadCapFacFile(file, capFac, error);
        });
}

const std::vector<std::string> kProject = {
    "Project: Survey",     "/d/s.cap",       "0 0 0 0 0 5 0 0 0 1", "/d/s.reg",
    "0 1 0 0 0 0 0 0 0 0", "No Thread file", "0 0 0 0 0 0 0 0 0 1"};

TEST(ProjectFileTest, ReadsSevenLines) {
    ProjectFile project;
    std::string error;
    ASSERT_EQ(ReadProjectFile(TextFile{"p.pro", kProject}, project, error), 0) << error;
    EXPECT_EQ(project.name, "Survey");
    EXPECT_EQ(project.capFac.path, "/d/s.cap");
    EXPECT_EQ(project.capFac.parameters[5], 5);
    EXPECT_TRUE(project.capFac.used);
    EXPECT_FALSE(project.regress.used);
    EXPECT_EQ(project.regress.parameters[1], 1);
    EXPECT_EQ(project.thread.path, "No Thread file");
    EXPECT_EQ(project.thread.pathLine, 6);
}

TEST(ProjectFileTest, RefusesEveryDeparture) {
    ExpectRefused("p.pro", kProject,
                  {
                      {{1, "Projekt: Survey"}, "p.pro, line 1: expected \"Project: \""},
                      {{3, "0 0 0 0 0 5 0 0 1"}, "line 3: expected the nine CapFac parameters"},
                      {{3, "0 0 0 0 0 5 0 0 0 1 0"}, "line 3: expected the nine CapFac parameters"},
                      {{3, "0 0 0 0 0 x 0 0 0 1"}, "line 3: expected the nine CapFac parameters"},
                      {{5, "0 1 0 0 0 0 0 0 0 2"}, "line 5: the used flag of Regress is 2"},
                      {{7, nullptr}, "line 7: expected the nine Thread parameters"},
                      {{8, "more"}, "line 8: expected the end of the project file"},
                  },
                  [](const TextFile& file, std::string& error) {
                      ProjectFile project;
                      return ReadProjectFile(file, project, error);
                  });
    ProjectFile project;
    std::string error;
    std::vector<std::string> fiveLines(kProject.begin(), kProject.begin() + 5);
    EXPECT_EQ(ReadProjectFile(TextFile{"p.pro", fiveLines}, project, error), -1);
    EXPECT_NE(error.find("line 6: the file ends here; expected the path of the Thread file"),
              std::string::npos)
        << error;
}

const std::vector<std::string> kRegress = {
    " NNN            0", " DEP.VAR.       2",   " IYY            0",   " ANZ.SELEC      2",
    " PCT          0.0", " IPOW           1",   " KEQ            0",   " JPUN           0",
    " IPUN           0", " KPUNY          0",   " IRB            0",   " IRY            0",
    " IPY            0", " IWY            0",   " IWYH           0",   " MEND           0",
    "Parameteranzahl",   "Core : ABCDEFGHIJKL", "SST       12.50000",  "Salinity  35.00000",
    "Parameteranzahl",   "Core : S2",           "SST     12345.12345", "Salinity-999.98999",
    "32000000000",       "23000000000"};

TEST(RegressFileTest, ReadsTheWorkbenchForm) {
    RegressFile regress;
    std::string error;
    ASSERT_EQ(ReadRegressFile(TextFile{"e.reg", kRegress}, regress, error), 0) << error;
    EXPECT_EQ(regress.variableCount, 2);
    EXPECT_EQ(regress.power, 1);
    EXPECT_EQ(regress.variableNames, (std::vector<std::string>{"SST", "Salinity"}));
    EXPECT_EQ(regress.stationNames, (std::vector<std::string>{"ABCDEFGHIJKL", "S2"}));
    EXPECT_EQ(regress.stationLines, (std::vector<int>{18, 22}));
    EXPECT_EQ(regress.values(0, 0), 12.5);
    EXPECT_EQ(regress.values(1, 0), 12345.12345);
    EXPECT_EQ(regress.values(0, 1), 35.0);
    EXPECT_TRUE(std::isnan(regress.values(1, 1))) << "-999.98999 is an empty cell";
    ASSERT_EQ(regress.termCodes.size(), 2u);
    EXPECT_EQ(regress.termCodes[1].line, 26);
    EXPECT_EQ(regress.termCodes[1].digits, "23000000000");
}

TEST(RegressFileTest, NamesOfEightOrMoreCharactersTouchTheirValues) {
    std::vector<std::string> lines(kRegress.begin(), kRegress.begin() + 16);
    lines[1] = " DEP.VAR.       1";
    lines[3] = " ANZ.SELEC      1";
    for (const char* value : {"Temperature  -1.00000", "Temperature-1000.00000"}) {
        lines.push_back("Parameteranzahl");
        lines.push_back("Core : X");
        lines.push_back(value);
    }
    lines.push_back("3000000");
    RegressFile regress;
    std::string error;
    ASSERT_EQ(ReadRegressFile(TextFile{"e.reg", lines}, regress, error), 0) << error;
    EXPECT_EQ(regress.variableNames[0], "Temperature");
    EXPECT_EQ(regress.values(1, 0), -1000.0);
}

TEST(RegressFileTest, RefusesEveryDeparture) {
    ExpectRefused(
        "e.reg", kRegress,
        {
            {{2, " DEP.VAR.       x"}, "e.reg, line 2: expected the keyword line \" DEP.VAR.\""},
            {{1, " NN             0"}, "line 1: expected the keyword line \" NNN\""},
            {{4, " ANZ.SELEC      1"}, "line 4: ANZ.SELEC is 1, DEP.VAR. 2"},
            {{6, " IPOW           2"}, "line 6: IPOW is 2: quillon knows 0 (linear) and 1"},
            {{7, " KEQ            1"}, "line 7: KEQ is 1: quillon knows only 0"},
            {{5, " PCT          1.0"}, "line 5: PCT is 1.0"},
            {{17, "Parameter"}, "line 17: expected \"Parameteranzahl\""},
            {{18, "Core: X"}, "line 18: expected \"Core : \""},
            {{19, "SST         12.500"}, "line 19: \"12.500\" does not have the five decimals"},
            {{20, "Salinity         nan"}, "line 20: the value \"nan\" is not a number"},
            {{20, "Salinity   abc.00000"}, "line 20: \"abc.00000\" is not a number"},
            {{23, "Temp    12345.12345"}, "line 23: variable 1 is named \"Temp\" here"},
            {{20, "Sal  1"}, "line 20: expected variable 2"},
            {{25, "3200000000x"}, "line 25: expected \"Parameteranzahl\" (the next station) or"},
            {{26, nullptr}, "line 26: expected the term-code line of variable 2 of 2"},
            {{27, "0"}, "line 27: expected the end of the file after the 2 term-code lines"},
        },
        [](const TextFile& file, std::string& error) {
            RegressFile regress;
            return ReadRegressFile(file, regress, error);
        });
}

const std::vector<std::string> kCodes = {"N. pachy", "Orb     "};
const std::vector<std::string> kThread = {"Samples     2", "0",     "N. pachy 1792",
                                          "Orb        0",  "10 cm", "N. pachy    1",
                                          "Orb      4000"};

TEST(ThreadFileTest, ReadsTheWorkbenchForm) {
    ThreadFile thread;
    std::string error;
    ASSERT_EQ(ReadThreadFile(TextFile{"c.thr", kThread}, kCodes, thread, error), 0) << error;
    EXPECT_EQ(thread.sampleCount, 2);
    EXPECT_EQ(thread.census.samples, (std::vector<std::string>{"0", "10 cm"}));
    EXPECT_EQ(thread.census.values(1, 1), 4000.0);
}

TEST(ThreadFileTest, RefusesEveryDeparture) {
    ExpectRefused(
        "c.thr", kThread,
        {
            {{1, "Samples:  2"}, "c.thr, line 1: expected \"Samples\""},
            {{1, "Samples     3"}, "line 8: the file ends here, after 2 of the 3 samples"},
            {{1, "Samples     1"}, "line 5: expected the end of the file after the 1 samples"},
            {{1, "Samples     0"}, "the number of core samples is 0"},
            {{4, "Orbulina   0"},
             "line 4: expected species 2 of 2 of sample \"0\", the code "
             "\"Orb     \" (as in the CapFac file)"},
            {{6, "N. pachy  inf"}, "line 6: the value \"inf\" is infinite"},
        },
        [](const TextFile& file, std::string& error) {
            ThreadFile thread;
            return ReadThreadFile(file, kCodes, thread, error);
        });
}

TEST(ThreadFileTest, AnotherSpeciesCountIsNamedAsSuch) {
    std::vector<std::string> lines = kThread;
    lines.insert(lines.begin() + 4, "G.ruber    3");
    lines.push_back("G.ruber    3");
    ThreadFile thread;
    std::string error;
    EXPECT_EQ(ReadThreadFile(TextFile{"c.thr", lines}, kCodes, thread, error), -1);
    EXPECT_EQ(error, "c.thr: its 2 samples hold 3 species each, the CapFac file 2: the species "
                     "lists differ");
}

} // namespace
} // namespace quillon
