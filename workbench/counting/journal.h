// The journal of a counting run: a text file beside the output (its name + ".journal") that
// holds the table the run started from and every change made since. Each change is on the
// disk before the dialog takes the next key, so a crash, a kill or a power cut loses at most
// the change being made. The journal is removed once the output and the diversity file are
// both written; one found at the next start belongs to a run that never got so far, and
// replaying it gives that run's tables back.
//
// Lines end with "\n"; cells are separated by tabs (names never hold a tab or a line break):
//
//   corelith counting journal  1
//   input     path of the table counted
//   layout    0 (species in column) or 1 (species in line)
//   decimal-comma  0 or 1
//   corner    text                   heading   text (entry 0 of the samples)
//   species   name                   one line per species, in order
//   sample    name  value ... value  one line per sample, one value per species
//   start                            the table is complete; the changes follow
//   count     sample  species  increment
//   new-sample   name                new-species   name
//   sample-name  number  name        species-name  number  name
//
// Values are the shortest text that reads back as the same single-precision number.
//
// Unlike every other file of the workbench the journal is appended to, never replaced, so
// it is written here and not through LineWriter.
#pragma once

#include "counting/session.h"
#include "tables/tables.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace corelith {

// "<output>.journal".
std::string JournalPathFor(const std::string& outputPath);

class CountingJournal {
  public:
    CountingJournal() = default;
    // Closes the file and keeps it.
    ~CountingJournal();
    CountingJournal(const CountingJournal&) = delete;
    CountingJournal& operator=(const CountingJournal&) = delete;

    // Creates the journal at `path`, emptying an old one, and writes its first line.
    bool Create(const std::string& path);
    // Goes on with a recovered journal: what follows its first `length` bytes (the records
    // that were read whole) is cut off, and new records are appended.
    bool Resume(const std::string& path, std::uintmax_t length);
    // Records the table the run starts from: the tables as read from `input`.
    bool RecordStart(const std::string& input, SpeciesLayout layout, const Tables& tables,
                     const CountingState& state);
    bool Record(const CountingAction& action);
    // Closes and deletes the journal, once its counts are in their files.
    bool Remove();

    const std::string& Path() const { return path_; }
    bool IsOpen() const { return file_ != nullptr; }
    // True after a failed create, write or removal; every later record is skipped.
    bool Failed() const { return failed_; }
    // The system's reason for the first failure, "" while none has happened.
    std::string Reason() const;

  private:
    // Writes `text`; with `sync`, everything written so far is handed to the disk.
    bool Put(std::string_view text, bool sync);
    bool Fail(int error);

    std::FILE* file_ = nullptr;
    std::string path_;
    bool failed_ = false;
    int error_ = 0;
};

// What LoadJournal found.
struct RecoveredRun {
    enum class Status {
        None,      // no journal, or one that ends before its table is complete: nothing counted
        Recovered, // the table and the changes read whole are in the tables
        Damaged,   // a line of the table cannot be read (`badLine`): nothing is recovered
    };
    Status status = Status::None;
    std::string input;
    SpeciesLayout layout = SpeciesLayout::InColumn;
    int changes = 0;           // changes replayed
    std::uintmax_t length = 0; // bytes of the journal up to the end of the last line used
    int badLine = 0;           // a whole line that could not be used, which ended the reading
};

// Reads the journal at `path` into the tables and `state`: the table the run started from,
// then its changes in order, up to the first line that is not whole or cannot be used.
RecoveredRun LoadJournal(const std::string& path, Tables& tables, CountingState& state);

} // namespace corelith
