// The one way the workbench writes a text file: a writer that owns its file from Open to
// Close. Lines are written unchanged in text mode (each "\n" becomes the platform's line
// end); the first failure stops all further writing and is kept with its reason; Close tells
// whether the whole file was written.
//
// Callers only open, put text and close, so the file may later be written under a
// temporary name beside the target and renamed over it in Close, without touching them.
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
    // Closes a file still open; its result is lost then, so writers call Close themselves.
    ~LineWriter();
    LineWriter(LineWriter&& other) noexcept;
    LineWriter& operator=(LineWriter&& other) noexcept;
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    // Creates or truncates `path` for writing (a file open before is closed first). False
    // when it cannot be created; the writer has then failed.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    // Writes `text` unchanged, nothing after a failure.
    void Put(std::string_view text);

    // True after a failed open, write or close.
    bool Failed() const { return failed_; }
    // 0 while nothing has failed, -1 after a failure: the writers' own result.
    int Status() const { return failed_ ? -1 : 0; }
    // Why the first failure happened (the system's text for it), or "" while none has.
    std::string Reason() const;

    // Ends the file. Returns 0 when it was opened and every text and the close itself were
    // written, -1 otherwise (also when nothing was open).
    int Close();

  private:
    void Fail(int error);

    std::FILE* file_ = nullptr;
    std::string path_;
    bool failed_ = false;
    int error_ = 0; // errno of the first failure, 0 when the system gave none
};

} // namespace corelith
