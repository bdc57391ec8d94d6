#include "counting/table_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace corelith {
namespace {

using Kind = TableLoss::Kind;
constexpr SpeciesLayout kInColumn = SpeciesLayout::InColumn;
constexpr SpeciesLayout kInLine = SpeciesLayout::InLine;

TableLoss Check(const std::string& text, SpeciesLayout layout) {
    std::FILE* file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    const TableLoss loss = FindTableLoss(file, layout);
    std::fclose(file);
    return loss;
}

TEST(FindTableLoss, TablesTheReaderTakesWholeLoseNothing) {
    const std::string name63(63, 'n');
    // 62 bytes and a two-byte character: 64 bytes, which the tables cut to 62.
    const std::string utf8Name = std::string(61, 'u') + "\xC3\xA4";
    const struct {
        SpeciesLayout layout;
        std::string text;
    } cases[] = {
        {kInColumn, ""},
        {kInColumn, "Species\tName\tA\tB\r\n\tG. ruber\t3\t0\r\n\tN. pachyderma\t1,5\t\r\n"},
        {kInColumn, "\xEF\xBB\xBFS\tN\tA\tB\t\t\n\n\tG. ruber\t 3 \t1e3\n\t" + name63 + "\t+2"},
        {kInColumn, "S\tN\tA\n\tG. ruber\t3\t\t \n"}, // blank cells beyond the table
        {kInColumn, "S\tN\t" + utf8Name.substr(0, 62) + "\n"},
        {kInLine, "C\t\t\nS\tG. ruber\tO. univ\nS1\t1\t2,5\n\nS2\t\t0\n"},
        {kInLine, "C\tx*\nS\tG. ruber\n" + name63 + "\t1\t\n"},
    };
    for (const auto& c : cases) {
        const TableLoss loss = Check(c.text, c.layout);
        EXPECT_EQ(loss.kind, Kind::None) << c.text << " line " << loss.line;
    }
}

TEST(FindTableLoss, NamesTheFirstPlaceThatWouldBeLost) {
    const std::string long64(64, 'x');
    const std::string utf8Name = std::string(62, 'u') + "\xC3\xA4";
    const struct {
        SpeciesLayout layout;
        std::string text;
        Kind kind;
        int line, column;
    } cases[] = {
        {kInColumn, "S\tN\tA\n\tG. ruber\t1\n*\tO. univ\t2\n", Kind::LeftOutRow, 3, 0},
        {kInColumn, "S\tN\tA\n\tG. ruber*\t1\n", Kind::LeftOutRow, 2, 0},
        {kInColumn, "S\tN\tA\tB\n\tG. ruber\t1\tn.d.\n", Kind::Unreadable, 2, 4},
        {kInColumn, "S\tN\tA\n\tG. ruber\t12abc\n", Kind::Unreadable, 2, 3},
        {kInColumn, "S\tN\tA\n\tG. ruber\t1,234,5\n", Kind::Unreadable, 2, 3},
        {kInColumn, "S\tN\tA\n\tG. ruber\t1e39\n", Kind::Unreadable, 2, 3},
        {kInColumn, "S\tN\tA\n\tG. ruber\tnan\n", Kind::Unreadable, 2, 3},
        {kInColumn, "S\tN\tA\n\tG. ruber\t-0.5\n", Kind::Negative, 2, 3},
        {kInColumn, "S\tN\tA\n\tG. ruber\t1\t2\n", Kind::BeyondTable, 2, 4},
        {kInColumn, "S\tN\t" + long64 + "\n", Kind::LongName, 1, 3},
        {kInColumn, long64 + "\tN\tA\n", Kind::LongName, 1, 1},
        {kInColumn, "S\tN\tA\n\t" + utf8Name + "\t1\n", Kind::LongName, 2, 2},
        {kInLine, "C\t\t*x\nS\ta\tb\n", Kind::LeftOutColumn, 1, 3},
        {kInLine, "C\t\nS\t" + long64 + "\n", Kind::LongName, 2, 2},
        {kInLine, "C\t\nS\ta\tb\n", Kind::BeyondTable, 2, 3},
        {kInLine, "C\t\nS\ta\nS1\t1\nS2\t?\n", Kind::Unreadable, 4, 2},
        {kInLine, "C\t\nS\ta\n" + long64 + "\t1\n", Kind::LongName, 3, 1},
        {kInLine, "C\t\nS\ta\nS1\t-1\t\t3\n", Kind::Negative, 3, 2},
    };
    for (const auto& c : cases) {
        const TableLoss loss = Check(c.text, c.layout);
        EXPECT_EQ(loss.kind, c.kind) << c.text;
        EXPECT_EQ(loss.line, c.line) << c.text;
        EXPECT_EQ(loss.column, c.column) << c.text;
    }
}

} // namespace
} // namespace corelith
