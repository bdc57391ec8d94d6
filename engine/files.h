// The files of a run: inputs checked before they are read, outputs that take the place
// of their targets only once complete, and the lock that keeps a second run out of a
// folder while one is writing the fixed-name files there.
#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace marvane {

// Opens the existing file `path` for reading. `shown` names it in messages, such as
// `subject file (project line 1) "./core.sam"`. A missing file is never created, and a
// folder is refused rather than read. Returns 0, or -1 with a message.
int OpenInputFile(std::ifstream& file, const std::string& path, const std::string& shown,
                  std::string& error);

// Whether the two paths name the same file, existing or not.
bool SameFile(const std::string& a, const std::string& b);

// A file written under a temporary name in its target's folder and moved over the
// target by Commit, so that a failure or a kill never leaves half a file and the
// previous file stays until the new one is complete. A target that exists but is no
// regular file (a device such as /dev/null) is written in place. An uncommitted
// temporary is removed with the object.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // `shownName` is the name the user gave, for messages. Returns 0, or -1 with a message.
    int Open(const std::string& path, const std::string& shownName, std::string& error);
    std::ostream& Stream() { return stream_; }
    const std::string& ShownName() const { return shownName_; }
    // Completes the file and puts it in place. Returns 0, or -1 with a message (the
    // target is then left as it was).
    int Commit(std::string& error);
    // Drops what was written; the target stays as it was.
    void Discard();

  private:
    std::string shownName_;
    std::string target_;
    std::string temporary_; // empty when written in place or when done
    std::vector<char> buffer_;
    std::ofstream stream_;
};

// Writes `text` as the whole new content of `path`, through an OutputFile.
int WriteWholeFile(const std::string& path, const std::string& shownName, std::string_view text,
                   std::string& error);

// The lock file of a folder, holding the identifier of the process that runs there.
// One that names a process that has ended is left from a run that was killed: it is
// taken over.
class RunLock {
  public:
    RunLock() = default;
    ~RunLock() { Release(); }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Creates the lock file `path`. Returns 0, or -1 with a message when another run
    // holds it or it cannot be created.
    int Acquire(const std::string& path, std::string& error);
    void Release();

  private:
    std::string path_; // empty when not held
};

} // namespace marvane
