#include "textio/file_layer.h"

#include <cstdarg>
#include <vector>

#ifdef _WIN32
#include <locale.h>
#else
#include <clocale>
#include <locale.h>
#endif

namespace corelith {

std::FILE* OpenForReading(const std::string& path, const char* mode) {
    if (path.empty() || mode == nullptr)
        return nullptr;
    return std::fopen(path.c_str(), mode);
}

std::FILE* OpenForWriting(const std::string& path) {
    if (path.empty())
        return nullptr;
    return std::fopen(path.c_str(), "w");
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
#ifdef _WIN32
_locale_t CLocale() {
    static _locale_t c = _create_locale(LC_ALL, "C");
    return c;
}
#else
locale_t CLocale() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}
#endif

int FormatInC(char* buffer, size_t size, const char* format, va_list args) {
#ifdef _WIN32
    va_list counting;
    va_copy(counting, args);
    const int needed = _vscprintf_l(format, CLocale(), counting);
    va_end(counting);
    if (needed >= 0 && size > 0)
        _vsnprintf_s_l(buffer, size, _TRUNCATE, format, CLocale(), args);
    return needed;
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
