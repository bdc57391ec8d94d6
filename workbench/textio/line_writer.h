// The one way the workbench writes a text file: a writer that owns its file from Open to
// Close. Lines are written unchanged in text mode (each "\n" becomes the platform's line
// end); the first failure stops all further writing and is kept with its reason; Close tells
// whether the whole file was written.
//
// A file is whole or not there: the text goes to a temporary file beside the target (same
// folder, so that the last step is a rename) and Close puts it in the target's place only
// when every line and the close itself were written. A failure, a writer dropped without
// Close or a killed process leaves the previous file as it was. A target that exists but is
// no regular file (a device such as /dev/null, a FIFO) is written in place; so is a file in
// a folder where nothing new can be created, since it was writable in place before.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace corelith {

class LineWriter {
  public:
    LineWriter() = default;
    // Opens `path` at once; see Open.
    explicit LineWriter(const std::string& path) { Open(path); }
    // Drops a file still open: the target keeps what it held.
    ~LineWriter();
    LineWriter(LineWriter&& other) noexcept;
    LineWriter& operator=(LineWriter&& other) noexcept;
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    // Starts a new content for `path` (a file open before is dropped first). False when it
    // cannot be written (a missing or read-only folder, a read-only file, a folder in its
    // place); the writer has then failed and Reason says why.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // The path given to Open.
    const std::string& Path() const { return path_; }

    // Writes `text` unchanged, nothing after a failure.
    void Put(std::string_view text);

    // True after a failed open, write or close.
    bool Failed() const { return failed_; }
    // 0 while nothing has failed, -1 after a failure: the writers' own result.
    int Status() const { return failed_ ? -1 : 0; }
    // Why the first failure happened (the system's text for it), or "" while none has.
    std::string Reason() const;

    // Ends the file and puts it in the target's place. Returns 0 when it was opened and
    // every text, the close and the replacement succeeded; -1 otherwise (also when nothing
    // was open), and the target then keeps what it held.
    int Close();
    // Drops what was written; the target keeps what it held.
    void Discard();

  private:
    void Fail(std::string reason);
    void FailWithErrno(int error);
    void RemoveTemporary();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string target_;    // the file replaced: `path_`, or the file a link there points to
    std::string temporary_; // empty while writing in place or when nothing is open
    bool failed_ = false;
    std::string reason_;
};

} // namespace corelith
