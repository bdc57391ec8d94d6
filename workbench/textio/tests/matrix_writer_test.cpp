#include "textio/matrix_writer.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corelith {
namespace {

// Two species by three samples; cell "s<species><sample>".
std::string Write(SpeciesLayout layout, int speciesCount, int sampleCount, int* rows = nullptr) {
    const testsupport::TempDir folder;
    const std::vector<std::string> species = {"", "G. ruber", "O. univ"};
    const std::vector<std::string> samples = {"", "A", "B", "C"};
    CensusMatrix matrix;
    matrix.corner = "Flag";
    matrix.heading = "Name";
    matrix.speciesCount = speciesCount;
    matrix.sampleCount = sampleCount;
    matrix.speciesName = [&](int i) -> std::string_view { return species.at(size_t(i)); };
    matrix.sampleName = [&](int k) -> std::string_view { return samples.at(size_t(k)); };
    matrix.appendCell = [](std::string& line, int i, int k) {
        line += "s";
        line += std::to_string(i);
        line += std::to_string(k);
    };
    if (rows != nullptr)
        matrix.beforeRow = [rows] { ++*rows; };
    LineWriter out(folder.File("m.txt"));
    EXPECT_EQ(WriteCensusMatrix(out, layout, matrix), 0);
    EXPECT_EQ(out.Close(), 0);
    return folder.Read("m.txt");
}

TEST(CensusMatrixWriter, WritesBothLayouts) {
    const struct {
        SpeciesLayout layout;
        int species, samples;
        const char* text;
    } cases[] = {
        {SpeciesLayout::InColumn, 2, 3,
         "Flag\tName\tA\tB\tC\n\tG. ruber\ts11\ts12\ts13\n\tO. univ\ts21\ts22\ts23\n"},
        {SpeciesLayout::InLine, 2, 3,
         "Flag\t\t\nName\tG. ruber\tO. univ\nA\ts11\ts21\nB\ts12\ts22\nC\ts13\ts23\n"},
        {SpeciesLayout::InColumn, 0, 0, "Flag\tName\n"},
        {SpeciesLayout::InLine, 0, 0, "Flag\nName\n"},
        {SpeciesLayout::InColumn, 1, 0, "Flag\tName\n\tG. ruber\n"},
        {SpeciesLayout::InLine, 0, 2, "Flag\nName\nA\nB\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Write(c.layout, c.species, c.samples), c.text)
            << static_cast<int>(c.layout) << " " << c.species << "x" << c.samples;
}

TEST(CensusMatrixWriter, CallsBeforeEachSpeciesOrSampleLine) {
    int rows = 0;
    Write(SpeciesLayout::InColumn, 2, 3, &rows);
    EXPECT_EQ(rows, 2);
    rows = 0;
    Write(SpeciesLayout::InLine, 2, 3, &rows);
    EXPECT_EQ(rows, 3);
}

#ifdef __linux__
TEST(CensusMatrixWriter, ReportsAFailedFile) {
    LineWriter out("/dev/full");
    ASSERT_TRUE(out.IsOpen());
    const std::string wide(1 << 20, 'x');
    CensusMatrix matrix;
    matrix.corner = wide; // one line longer than any buffer
    EXPECT_EQ(WriteCensusMatrix(out, SpeciesLayout::InColumn, matrix), -1);
    EXPECT_EQ(out.Close(), -1);
}
#endif

} // namespace
} // namespace corelith
