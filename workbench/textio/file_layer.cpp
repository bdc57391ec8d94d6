#include "textio/file_layer.h"

#include "textio/paths.h"

#include <cstdarg>
#include <vector>

#ifndef _WIN32
#include <clocale>
#include <locale.h>
#endif

namespace corelith {

namespace {

void PutUtf8(std::FILE* out, unsigned long code) {
    if (code < 0x80) {
        std::fputc(static_cast<int>(code), out);
    } else if (code < 0x800) {
        std::fputc(static_cast<int>(0xC0 | (code >> 6)), out);
        std::fputc(static_cast<int>(0x80 | (code & 0x3F)), out);
    } else if (code < 0x10000) {
        std::fputc(static_cast<int>(0xE0 | (code >> 12)), out);
        std::fputc(static_cast<int>(0x80 | ((code >> 6) & 0x3F)), out);
        std::fputc(static_cast<int>(0x80 | (code & 0x3F)), out);
    } else {
        std::fputc(static_cast<int>(0xF0 | (code >> 18)), out);
        std::fputc(static_cast<int>(0x80 | ((code >> 12) & 0x3F)), out);
        std::fputc(static_cast<int>(0x80 | ((code >> 6) & 0x3F)), out);
        std::fputc(static_cast<int>(0x80 | (code & 0x3F)), out);
    }
}

// Copies UTF-16 text (after its byte-order mark) into `out` as UTF-8. A surrogate
// without its partner becomes U+FFFD; an odd last byte is dropped.
void Utf16ToUtf8(std::FILE* in, std::FILE* out, bool littleEndian) {
    constexpr unsigned long kReplacement = 0xFFFD;
    auto nextUnit = [&](unsigned long& unit) {
        const int a = std::getc(in);
        const int b = a == EOF ? EOF : std::getc(in);
        if (b == EOF)
            return false;
        unit = littleEndian ? static_cast<unsigned long>(a | (b << 8))
                            : static_cast<unsigned long>((a << 8) | b);
        return true;
    };
    unsigned long unit = 0;
    bool pending = nextUnit(unit);
    while (pending) {
        unsigned long code = unit;
        pending = nextUnit(unit);
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (pending && unit >= 0xDC00 && unit <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (unit - 0xDC00);
                pending = nextUnit(unit);
            } else {
                code = kReplacement;
            }
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            code = kReplacement;
        }
        PutUtf8(out, code);
    }
}

} // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    if (path.empty() || mode == nullptr)
        return nullptr;
#ifdef _WIN32
    // Windows opens UTF-8 names only through its wide-character calls.
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(NativePath(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

std::FILE* OpenForReading(const std::string& path, const char* mode) {
    if (path.empty() || mode == nullptr)
        return nullptr;
    std::FILE* file = OpenFile(path, mode);
    const std::string_view how(mode);
    if (file == nullptr || how.empty() || how[0] != 'r' || how.find('+') != std::string_view::npos)
        return file;
    // Spreadsheets save "Unicode text" as UTF-16 with a byte-order mark; the readers see
    // it as the UTF-8 text it stands for.
    const int first = std::getc(file);
    const int second = first == EOF ? EOF : std::getc(file);
    const bool little = first == 0xFF && second == 0xFE;
    const bool big = first == 0xFE && second == 0xFF;
    if (!little && !big) {
        std::rewind(file);
        return file;
    }
    std::FILE* text = std::tmpfile();
    if (text == nullptr) {
        std::rewind(file);
        return file;
    }
    Utf16ToUtf8(file, text, little);
    std::fclose(file);
    std::rewind(text);
    return text;
}

std::FILE* OpenForWriting(const std::string& path) {
    if (path.empty())
        return nullptr;
    return OpenFile(path, "w");
}

int WriteText(std::FILE* file, std::string_view text) {
    if (file == nullptr)
        return -1;
    if (text.empty())
        return 0;
    return std::fwrite(text.data(), 1, text.size(), file) == text.size() ? 0 : -1;
}

int CloseFile(std::FILE* file) {
    if (file == nullptr)
        return -1;
    // A write error may have been buffered earlier; fclose alone does not report it.
    const bool failedBefore = std::ferror(file) != 0;
    const bool closed = std::fclose(file) == 0;
    return failedBefore || !closed ? -1 : 0;
}

namespace {

// The process locale may have a decimal comma (a GUI toolkit sets it from the user's
// environment); numbers in our files never do.
#ifndef _WIN32
locale_t CLocale() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}
#endif

int FormatInC(char* buffer, size_t size, const char* format, va_list args) {
#ifdef _WIN32
    // mingw's standard printf (two-digit exponents, "%G" as everywhere else); the Windows
    // desktop never leaves the "C" locale, so its decimal point is ".".
    return __mingw_vsnprintf(buffer, size, format, args);
#else
    locale_t previous = uselocale(CLocale());
    const int length = std::vsnprintf(buffer, size, format, args);
    uselocale(previous);
    return length;
#endif
}

} // namespace

std::string FormatC(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = FormatInC(small, sizeof small, format, args);
    va_end(args);
    std::string out;
    if (length < 0) {
        va_end(again);
        return out;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        out.assign(small, static_cast<size_t>(length));
    } else {
        std::vector<char> large(static_cast<size_t>(length) + 1);
        FormatInC(large.data(), large.size(), format, again);
        out.assign(large.data(), static_cast<size_t>(length));
    }
    va_end(again);
    return out;
}

} // namespace corelith
