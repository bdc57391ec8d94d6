#include "counting/journal.h"

#include "testing/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace corelith {
namespace {

using Kind = CountingAction::Kind;

// Tables of two species by two samples, values that test the numbers' round trip.
struct Session {
    Session() {
        AllocateTables(tables);
        tables.cornerLabel = "Corner, with a comma";
        tables.reference.names[0] = "";
        tables.reference.names[1] = "0-1 cm";
        tables.reference.names[2] = "Probe \xC3\xA4";
        tables.species.names[1] = "G. ruber";
        tables.species.names[2] = "";
        tables.reference.Value(1, 1) = 0.1f;
        tables.reference.Value(1, 2) = -0.0f;
        tables.reference.Value(2, 1) = 3.0e38f;
        tables.reference.Value(2, 2) = std::numeric_limits<float>::denorm_min();
        tables.decimalCommaFlag = 1;
        state.speciesCount = 2;
        state.sampleCount = 2;
        ComputeTotals(tables, state);
    }
    Tables tables;
    CountingState state;
};

CountingAction Count(int sample, int species, float increment) {
    CountingAction action;
    action.sample = sample;
    action.species = species;
    action.increment = increment;
    return action;
}

CountingAction Named(Kind kind, int index, const std::string& name) {
    CountingAction action;
    action.kind = kind;
    (kind == Kind::RenameSpecies ? action.species : action.sample) = index;
    action.name = name;
    return action;
}

const std::vector<CountingAction> kActions = {
    Count(1, 1, 1),
    Count(1, 2, 1.0f / 3),
    Named(Kind::NewSample, 0, "new sample"),
    Named(Kind::NewSpecies, 0, "new species"),
    Count(3, 3, -2.5f),
    Named(Kind::RenameSample, 0, "Taxon"),
    Named(Kind::RenameSpecies, 2, "N. pachyderma"),
};

// Records a session with `actions`, as the counting command does.
void RecordSession(const std::string& path, Session& session,
                   const std::vector<CountingAction>& actions) {
    CountingJournal journal;
    ASSERT_TRUE(journal.Create(path));
    ASSERT_TRUE(journal.RecordStart("/data/core.txt", SpeciesLayout::InLine, session.tables,
                                    session.state));
    for (const CountingAction& action : actions) {
        ASSERT_TRUE(ApplyAction(session.tables, session.state, action));
        ASSERT_TRUE(journal.Record(action));
    }
}

void ExpectSameTables(const Session& expected, const Tables& tables, const CountingState& state) {
    ASSERT_EQ(state.speciesCount, expected.state.speciesCount);
    ASSERT_EQ(state.sampleCount, expected.state.sampleCount);
    const Tables& e = expected.tables;
    EXPECT_EQ(tables.cornerLabel, e.cornerLabel);
    EXPECT_EQ(tables.decimalCommaFlag, e.decimalCommaFlag);
    for (int j = 1; j <= state.speciesCount; ++j)
        EXPECT_EQ(tables.species.names[size_t(j)], e.species.names[size_t(j)]);
    for (int i = 0; i <= state.sampleCount; ++i) {
        EXPECT_EQ(tables.reference.names[size_t(i)], e.reference.names[size_t(i)]);
        EXPECT_EQ(tables.reference.totals[size_t(i)], e.reference.totals[size_t(i)]) << i;
        for (int j = 1; j <= state.speciesCount; ++j) {
            const float value = tables.reference.Value(i, j);
            EXPECT_EQ(value, e.reference.Value(i, j)) << i << "," << j;
            EXPECT_EQ(std::signbit(value), std::signbit(e.reference.Value(i, j)));
        }
    }
}

TEST(CountingJournal, ReplayingGivesTheSameTablesBitForBit) {
    testsupport::TempDir folder;
    const std::string path = folder.File("out.txt.journal");
    Session recorded;
    RecordSession(path, recorded, kActions);

    Tables tables;
    AllocateTables(tables);
    CountingState state;
    const RecoveredRun run = LoadJournal(path, tables, state);
    EXPECT_EQ(run.status, RecoveredRun::Status::Recovered);
    EXPECT_EQ(run.input, "/data/core.txt");
    EXPECT_EQ(run.layout, SpeciesLayout::InLine);
    EXPECT_EQ(run.changes, static_cast<int>(kActions.size()));
    EXPECT_EQ(run.length, folder.Read("out.txt.journal").size());
    EXPECT_EQ(run.badLine, 0);
    ExpectSameTables(recorded, tables, state);
}

TEST(CountingJournal, ReadsUpToWhatWasWrittenWhole) {
    testsupport::TempDir folder;
    const std::string path = folder.File("j");
    Session recorded;
    RecordSession(path, recorded, kActions);
    const std::string whole = folder.Read("j");
    const size_t tableEnd = whole.find("start\n") + 6;
    const size_t firstCount = whole.find('\n', tableEnd) + 1;
    const size_t firstLine = whole.find('\n') + 1;
    using Status = RecoveredRun::Status;
    const struct {
        std::string text;
        Status status;
        int changes;
        size_t length;
        int badLine;
    } cases[] = {
        {"", Status::None, 0, 0, 0},
        {"some other file\n" + whole.substr(firstLine), Status::None, 0, 0, 0},
        // Cut while the table was written, at a line end or within a line.
        {whole.substr(0, tableEnd - 6), Status::None, 0, 0, 0},
        {whole.substr(0, tableEnd - 3), Status::None, 0, 0, 0},
        // A whole line of the table that cannot be read: damage, not a cut.
        {whole.substr(0, firstLine) + "sample\tA\t1\n" + whole.substr(firstLine), Status::Damaged,
         0, 0, 2},
        // Cut within a change: the change is lost, the ones before it are not.
        {whole.substr(0, tableEnd), Status::Recovered, 0, tableEnd, 0},
        {whole.substr(0, firstCount + 3), Status::Recovered, 1, firstCount, 0},
        {whole + "count\t1\t1", Status::Recovered, 7, whole.size(), 0},
        // A whole change that does not fit the table ends the reading there.
        {whole.substr(0, firstCount) + "count\t9\t1\t1\n" + whole.substr(firstCount),
         Status::Recovered, 1, firstCount, 13},
        {whole.substr(0, firstCount) + "recount\t1\t1\t1\n", Status::Recovered, 1, firstCount, 13},
    };
    for (const auto& c : cases) {
        folder.Write("j", c.text);
        Tables tables;
        AllocateTables(tables);
        CountingState state;
        const RecoveredRun run = LoadJournal(path, tables, state);
        EXPECT_EQ(run.status, c.status) << c.text;
        EXPECT_EQ(run.changes, c.changes) << c.text;
        EXPECT_EQ(run.length, c.length) << c.text;
        EXPECT_EQ(run.badLine, c.badLine) << c.text;
    }
    EXPECT_EQ(LoadJournal(folder.File("missing"), recorded.tables, recorded.state).status,
              Status::None);
}

TEST(CountingJournal, ResumingCutsAnUnfinishedChangeOffAndGoesOn) {
    testsupport::TempDir folder;
    const std::string path = folder.File("j");
    Session recorded;
    RecordSession(path, recorded, {kActions[0]});
    folder.Write("j", folder.Read("j") + "count\t1\t");
    Session replayed;
    const RecoveredRun run = LoadJournal(path, replayed.tables, replayed.state);
    ASSERT_EQ(run.changes, 1);
    {
        CountingJournal journal;
        ASSERT_TRUE(journal.Resume(path, run.length));
        ASSERT_TRUE(journal.Record(kActions[1]));
        ASSERT_TRUE(ApplyAction(recorded.tables, recorded.state, kActions[1]));
    }
    Tables tables;
    AllocateTables(tables);
    CountingState state;
    const RecoveredRun again = LoadJournal(path, tables, state);
    EXPECT_EQ(again.changes, 2);
    EXPECT_EQ(again.badLine, 0);
    ExpectSameTables(recorded, tables, state);
}

TEST(CountingActions, RefusedChangesLeaveTheTablesAlone) {
    Session session;
    const Session before;
    const CountingAction refused[] = {
        Count(0, 1, 1),
        Count(3, 1, 1),
        Count(1, 0, 1),
        Count(1, 3, 1),
        Count(1, 1, 0),
        Count(2, 1, 1.0e38f),
        Named(Kind::RenameSample, 3, "x"),
        Named(Kind::RenameSpecies, -1, "x"),
    };
    for (const CountingAction& action : refused)
        EXPECT_FALSE(ApplyAction(session.tables, session.state, action));
    ExpectSameTables(before, session.tables, session.state);
    // Tabs and line breaks in names become blanks, and names keep 63 bytes.
    ASSERT_TRUE(ApplyAction(session.tables, session.state,
                            Named(Kind::NewSpecies, 0, "a\tb\r\nc" + std::string(70, 'x'))));
    EXPECT_EQ(session.tables.species.names[3], "a b  c" + std::string(57, 'x'));
    session.state.speciesCount = kMaxSpecies;
    EXPECT_FALSE(ApplyAction(session.tables, session.state, Named(Kind::NewSpecies, 0, "y")));
}

} // namespace
} // namespace corelith
