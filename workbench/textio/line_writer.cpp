#include "textio/line_writer.h"

#include "textio/file_layer.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace corelith {

LineWriter::~LineWriter() {
    if (file_ != nullptr)
        CloseFile(file_);
}

LineWriter::LineWriter(LineWriter&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), path_(std::move(other.path_)),
      failed_(other.failed_), error_(other.error_) {}

LineWriter& LineWriter::operator=(LineWriter&& other) noexcept {
    if (this != &other) {
        if (file_ != nullptr)
            CloseFile(file_);
        file_ = std::exchange(other.file_, nullptr);
        path_ = std::move(other.path_);
        failed_ = other.failed_;
        error_ = other.error_;
    }
    return *this;
}

bool LineWriter::Open(const std::string& path) {
    if (file_ != nullptr)
        CloseFile(file_);
    path_ = path;
    failed_ = false;
    error_ = 0;
    errno = 0;
    file_ = OpenForWriting(path);
    if (file_ == nullptr)
        Fail(errno);
    return file_ != nullptr;
}

void LineWriter::Put(std::string_view text) {
    if (failed_ || file_ == nullptr)
        return;
    errno = 0;
    if (WriteText(file_, text) != 0)
        Fail(errno);
}

int LineWriter::Close() {
    if (file_ == nullptr) {
        failed_ = true;
        return -1;
    }
    errno = 0;
    // A write error may still sit in the buffer; the close reports it.
    if (CloseFile(std::exchange(file_, nullptr)) != 0)
        Fail(errno);
    return Status();
}

void LineWriter::Fail(int error) {
    if (!failed_)
        error_ = error;
    failed_ = true;
}

std::string LineWriter::Reason() const {
    if (!failed_)
        return {};
    if (error_ == 0)
        return "the file could not be written";
    return std::strerror(error_);
}

} // namespace corelith
