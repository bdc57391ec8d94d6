// A counting session's counts are never lost and its files never wrong: nothing is written
// over the output before Stop, the journal keeps every change, a session cut short is
// recovered, and no file is replaced or shortened without a word.
#include "counting/tests/counting_fixture.h"

#include "counting/counting_messages.h"

#include <system_error>

namespace corelith {
namespace {

// What the system says when a file is written below a plain file; a file written where a
// folder is gets "Is a directory" from the file layer on every platform.
#ifdef _WIN32
constexpr std::errc kWritingThroughAFile = std::errc::no_such_file_or_directory;
#else
constexpr std::errc kWritingThroughAFile = std::errc::not_a_directory;
#endif
constexpr std::errc kWritingOverAFolder = std::errc::is_a_directory;

constexpr char kJournal[] = "Newcore12.txt.journal";

std::string Reason(std::errc error) {
    return std::make_error_code(error).message();
}

// A session that uses every kind of change, and what it leaves behind.
class RecoveryTest : public CountingTest {
  protected:
    void SetUp() override {
        CountingTest::SetUp();
        Write("core12.txt", kMatrix);
    }
    // Runs a session with `actions` and returns its journal as it stood before Stop.
    std::string JournalOf(const std::vector<std::string>& answers) {
        std::string journal;
        platform_.afterCounting = [&] { journal = Read(kJournal); };
        EXPECT_EQ(Run(answers), 0);
        platform_.afterCounting = nullptr;
        return journal;
    }
    // What a kill at Stop would have left: the journal, and no output written.
    void Kill(const std::string& journal) {
        fs::remove(folder_.path() / "Newcore12.txt");
        fs::remove(folder_.path() / "DINewcore12.txt");
        Write(kJournal, journal);
    }

    const std::vector<std::string> session_ = {"core12.txt",
                                               ":ok",
                                               "1",
                                               "count",
                                               "species=2",
                                               "increment=2,5",
                                               "count",
                                               "save",
                                               "new-sample=C",
                                               "edit-species=N. dutertrei",
                                               "sample=3",
                                               "count",
                                               "new-species=G. glutinata",
                                               "edit-sample=Taxon",
                                               "stop"};
};

TEST_F(RecoveryTest, UntilStopTheOldFilesStayAndTheCountsAreInTheJournal) {
    Write("Newcore12.txt", "the last session's matrix\n");
    Write("DINewcore12.txt", "the last session's diversity\n");
    bool looked = false;
    platform_.afterCounting = [&] {
        looked = true;
        EXPECT_EQ(Read("Newcore12.txt"), "the last session's matrix\n");
        EXPECT_EQ(Read("DINewcore12.txt"), "the last session's diversity\n");
        EXPECT_NE(Read(kJournal).find("\nstart\ncount\t1\t1\t1\n"), std::string::npos);
    };
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "count", "stop"}), 0);
    EXPECT_TRUE(looked);
    EXPECT_NE(Read("Newcore12.txt").find("\tG. ruber\t4\t\n"), std::string::npos);
    EXPECT_FALSE(Exists(kJournal)) << "removed once both files are written";
}

TEST_F(RecoveryTest, TheJournalRecordsTheTableAndEveryChange) {
    std::string journal = JournalOf(session_);
    for (size_t at = journal.find(Folder()); at != std::string::npos; at = journal.find(Folder()))
        journal.replace(at, Folder().size(), "FOLDER/");
    ExpectGolden("session_journal.txt", journal);
}

TEST_F(RecoveryTest, ASessionCutShortIsRecoveredAndGoesOn) {
    const std::string journal = JournalOf(session_);
    const std::string output = Read("Newcore12.txt");
    const std::string diversity = Read("DINewcore12.txt");
    // Killed while the last record was being written: that record is lost, nothing else.
    Kill(journal + "count\t1\t");
    const std::string resumed =
        JournalOf({"core12.txt", ":ok", "recover", "sample=1", "species=1", "count", "stop"});
    EXPECT_EQ(resumed.substr(0, journal.size()), journal);
    EXPECT_EQ(resumed.substr(journal.size()), "count\t1\t1\t1\n");
    const std::string counted = Read("Newcore12.txt");
    EXPECT_NE(counted.find("\tG. ruber\t5\t\t\n"), std::string::npos) << counted;
    // Killed again, and recovered without a change: the files of the session as it stood.
    Kill(resumed);
    EXPECT_EQ(Run({"core12.txt", ":ok", "recover", "stop"}), 0);
    EXPECT_EQ(Read("Newcore12.txt"), counted);
    Kill(journal);
    EXPECT_EQ(Run({"core12.txt", ":ok", "recover", "stop"}), 0);
    EXPECT_EQ(Read("Newcore12.txt"), output);
    EXPECT_EQ(Read("DINewcore12.txt"), diversity);
    EXPECT_FALSE(Exists(kJournal));
    EXPECT_TRUE(platform_.Messages().empty());
}

TEST_F(RecoveryTest, CancelKeepsTheOldSessionAndStartAnewDropsIt) {
    const std::string journal = JournalOf(session_);
    Kill(journal);
    EXPECT_EQ(Run({"core12.txt", ":ok", ":cancel"}), -4);
    EXPECT_EQ(Read(kJournal), journal);
    EXPECT_FALSE(Exists("Newcore12.txt"));
    EXPECT_EQ(Run({"core12.txt", ":ok", "new", "1", "stop"}), 0);
    EXPECT_EQ(Read("Newcore12.txt"), "Species\tName\tA\tB\n"
                                     "\tG. ruber\t3\t\n"
                                     "\tN. pachyderma\t1\t12\n");
    EXPECT_FALSE(Exists(kJournal));
}

TEST_F(RecoveryTest, AJournalThatNeverGotItsTableIsReplacedAndADamagedOneReported) {
    // Killed while the table was being recorded: nothing was counted, nothing to ask.
    Write(kJournal, "corelith counting journal\t1\ninput\tcore12.txt\nlayout\t0\nspeci");
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "count", "stop"}), 0);
    EXPECT_FALSE(Exists(kJournal));
    const std::string damaged = "corelith counting journal\t1\nspecies\tG. ruber\nsample\tA\tx\n"
                                "start\n";
    Write(kJournal, damaged);
    EXPECT_EQ(Run({"core12.txt", ":ok"}), -2);
    EXPECT_EQ(
        platform_.Messages(),
        (std::vector<std::string>{"message 0: The unfinished counting session cannot be read:\\n>" +
                                  Path(kJournal) +
                                  "<\\nLine 3 is damaged. Move the file away to count into "
                                  "this file."}));
    EXPECT_EQ(Read(kJournal), damaged);
}

TEST_F(RecoveryTest, AJournalNameThatIsTheInputIsRefused) {
    Write("x.txt.journal", kMatrix);
    EXPECT_EQ(Run({"x.txt.journal", "x.txt"}), -2);
    EXPECT_EQ(testsupport::ReadBytes(folder_.path() / "x.txt.journal"), kMatrix);
    EXPECT_EQ(
        platform_.Messages(),
        (std::vector<std::string>{"message 0: Could not write file:\\n>" + Path("x.txt.journal") +
                                  "<\\nIt is the table being counted."}));
}

// ---------------------------------------------------------------------------------------
// Stop

TEST_F(RecoveryTest, AFailedWriteAtStopIsReportedAndTheCountsStayForTheNextStart) {
    // While counting, a folder takes the output's place: no file can be written there.
    platform_.afterCounting = [&] {
        std::error_code error;
        fs::create_directory(folder_.path() / "Newcore12.txt", error);
    };
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "count", "count", "stop"}), -2);
    EXPECT_EQ(
        platform_.Messages(),
        (std::vector<std::string>{"message 0: Could not write file:\\n>" + Path("Newcore12.txt") +
                                  "<\\n" + Reason(kWritingOverAFolder) +
                                  "\\nThe counts are kept in:\\n>" + Path(kJournal) + "<"}));
    ASSERT_TRUE(Exists(kJournal));
    platform_.afterCounting = nullptr;
    fs::remove(folder_.path() / "Newcore12.txt");
    EXPECT_EQ(Run({"core12.txt", ":ok", "recover", "stop"}), 0);
    EXPECT_NE(Read("Newcore12.txt").find("\tG. ruber\t5\t\n"), std::string::npos);
    EXPECT_FALSE(Exists(kJournal));

    platform_.afterCounting = [&] {
        fs::remove(folder_.path() / "DINewcore12.txt");
        fs::create_directory(folder_.path() / "DINewcore12.txt");
    };
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "stop"}), -3);
    EXPECT_EQ(platform_.Messages().size(), 2u);
    EXPECT_TRUE(Exists(kJournal));
}

// ---------------------------------------------------------------------------------------
// Interim files

TEST_F(CountingTest, InterimFilesReplaceNoFile) {
    // The table counted is named like an interim file, and so is an earlier session's copy.
    Write("Temp1.txt", kMatrix);
    Write("Temp2.txt", "an interim copy of an earlier session\n");
    EXPECT_EQ(Run({"Temp1.txt", "Temp3.txt", "1", "count", "save", "stop"}), 0);
    EXPECT_EQ(testsupport::ReadBytes(folder_.path() / "Temp1.txt"), kMatrix);
    EXPECT_EQ(Read("Temp2.txt"), "an interim copy of an earlier session\n");
    EXPECT_NE(Read("Temp4.txt").find("\tG. ruber\t4\t\n"), std::string::npos);
    EXPECT_EQ(wb_.interimFileCounter, 4) << "Temp3.txt is the output, written at Stop";
    EXPECT_NE(Read("Temp3.txt").find("\tG. ruber\t4\t\n"), std::string::npos);
}

TEST_F(CountingDialogTest, AnInterimFileThatCannotBeWrittenIsReported) {
    Write("plain", "a file, not a folder");
    wb_.workingFolder = Path("plain") + "/";
    dialog_.OnInit(controls_);
    Click(kIdSave);
    EXPECT_EQ(platform_.Messages(),
              (std::vector<std::string>{"message 0: Could not write file:\\n>" + Path("plain") +
                                        "/Temp1.txt<\\n" + Reason(kWritingThroughAFile)}));
    EXPECT_EQ(controls_.dialogFocused, 2) << "the focus is back on the counting dialog";
}

// ---------------------------------------------------------------------------------------
// The table counted

TEST_F(CountingTest, CountingIntoTheInputIsRefusedWhenTheTablesWouldDropPartOfIt) {
    const std::string longName(64, 'x');
    const struct {
        const char* layout;
        std::string table;
        const char* place;
    } cases[] = {
        {"1", "Species\tName\tA\n*\tG. ruber\t3\n\tO. univ\t1\n",
         "Line 2: the row is left out (it holds a \"*\")."},
        {"1", "Species\tName\tA\n\t" + longName + "\t3\n",
         "Line 2, column 2: the name is longer than 63 characters."},
        {"2", "C\t*\t\nS\tG. ruber\tO. univ\nS1\t1\t2\n",
         "Line 1, column 2: the column is left out (its flag begins with \"*\")."},
        {"2", "C\t\nS\tG. ruber\nS1\t-1\n",
         "Line 3, column 2: the value is below 0 and would be written as an empty cell."},
        {"2", "C\t\nS\tG. ruber\nS1\t1\t7\n",
         "Line 3, column 3: the cell lies beyond the last column of the table."},
    };
    for (const auto& c : cases) {
        Write("t.txt", c.table);
        EXPECT_EQ(Run({"t.txt", "t.txt", c.layout}), -2) << c.place;
        EXPECT_EQ(platform_.Messages().back(),
                  "message 0: The counted table cannot be saved over its input:\\n>" +
                      Path("t.txt") + "<\\n" + c.place + "\\nChoose another file to save it.");
        EXPECT_EQ(Read("t.txt"), c.table);
        EXPECT_FALSE(Exists("t.txt.journal"));
    }
    // A cell the reader cannot read ends the command before anything is counted.
    Write("t.txt", "Species\tName\tA\n\tG. ruber\tn.d.\n");
    EXPECT_EQ(Run({"t.txt", "t.txt", "1"}), -1);
    EXPECT_NE(platform_.Messages().back().find("\"n.d.\", which is not a number"),
              std::string::npos);
    EXPECT_EQ(Read("t.txt"), "Species\tName\tA\n\tG. ruber\tn.d.\n");
    // Over the input as the diversity file, too; into another file the counting goes on.
    Write("DIx.txt", cases[0].table);
    EXPECT_EQ(Run({"DIx.txt", "x.txt", "1"}), -3);
    EXPECT_EQ(Read("DIx.txt"), cases[0].table);
    EXPECT_EQ(Run({"DIx.txt", ":ok", "1", "count", "stop"}), 0);
    EXPECT_EQ(Read("NewDIx.txt"), "Species\tName\tA\n\tO. univ\t2\n");
    EXPECT_EQ(platform_.Messages().size(), std::size(cases) + 2);
}

// ---------------------------------------------------------------------------------------
// Decimal separators

TEST_F(CountingTest, ACommaInASpeciesNameIsNoDecimalComma) {
    Write("core12.txt", "Species\tName\tA\tB\n"
                        "\tG. ruber\t3\t0\n"
                        "\tG.sp, indet\t1.5\t2\n");
    EXPECT_EQ(Run({"core12.txt", ":ok", "1", "count", "stop"}), 0);
    const std::string diversity = Read("DINewcore12.txt");
    EXPECT_EQ(diversity.substr(0, diversity.find("\n\n")), "Species\tName\tA\tB\n"
                                                           "\tG. ruber\t4\t\n"
                                                           "\tG.sp, indet\t1.5\t2");
    EXPECT_EQ(diversity.find(','), diversity.find("G.sp, indet") + 4) << "the name's comma only";
    EXPECT_EQ(LastLabel(kIdDiversityLine), "Diversity index: 0.585953 ");
}

TEST_F(CountingTest, ValuesWithDecimalCommasAreWrittenBackWithCommas) {
    Write("comma.txt", "Species\tName\tA\tB\n\tG.sp, indet\t1,5\t2,25\n");
    EXPECT_EQ(Run({"comma.txt", ":ok", "1", "increment=0.5", "count", "stop"}), 0);
    EXPECT_EQ(Read("DINewcomma.txt"), "Species\tName\tA\tB\n"
                                      "\tG.sp, indet\t2\t2,25\n"
                                      "\n"
                                      "\tDiversity index\t0,000000\t0,000000\n");
}

// ---------------------------------------------------------------------------------------
// The recovery question

TEST(RecoveryQuestion, NamesTheFilesAndWhatIsKept) {
    EXPECT_EQ(RecoveryQuestion("/data/N.txt", "/data/c.txt", 1, 0),
              "The counting of c.txt into N.txt was not finished. 1 change is kept.\n\nRecover "
              "the session, or start anew from the table?");
    EXPECT_EQ(RecoveryQuestion("N.txt", "c.txt", 7, 12),
              "The counting of c.txt into N.txt was not finished. 7 changes are kept. (Line 12 "
              "of its record is damaged; the changes before it are kept.)\n\nRecover the "
              "session, or start anew from the table?");
}

} // namespace
} // namespace corelith
