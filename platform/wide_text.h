// Text crosses into Windows as UTF-16 and comes back as UTF-8: the workbench keeps every
// text, file names and program arguments included, in UTF-8, and calls only the wide
// Windows functions, so names outside the ANSI code page survive the round trip. Standard
// C++ only, so the conversions are tested on every platform (where wchar_t has 32 bits, the
// wide form is UTF-32).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corelith {

// UTF-8 to wide text. Each byte sequence that is not valid UTF-8 (a stray byte, a
// character cut short, an encoded surrogate, an overlong form) becomes one U+FFFD, so a
// damaged name still shows and is never cut short.
std::wstring Widen(std::string_view utf8);

// Wide text to UTF-8. A surrogate without its partner (and, with 32-bit wchar_t, a value
// beyond U+10FFFF) becomes U+FFFD.
std::string Narrow(std::wstring_view wide);

// The argv of a wide main (Windows hands a program its arguments in UTF-16; the narrow argv
// would be in the ANSI code page) as UTF-8 texts that live as long as the object, ended by a
// null pointer as main's argv is.
class Utf8Argv {
  public:
    Utf8Argv(int argc, const wchar_t* const* argv);
    Utf8Argv(const Utf8Argv&) = delete;
    Utf8Argv& operator=(const Utf8Argv&) = delete;

    int& Count() { return count_; }
    char** Values() { return pointers_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
    int count_ = 0;
};

} // namespace corelith

// Defines the program's entry point so that `utf8Main(int argc, char** argv)` gets its
// arguments in UTF-8 on every platform: through wmain on Windows (link with -municode, see
// corelith_wide_main in cmake/WindowsPrograms.cmake), as they come elsewhere.
#ifdef _WIN32
#define CORELITH_UTF8_MAIN(utf8Main)                                                               \
    int wmain(int argc, wchar_t** argv) {                                                          \
        corelith::Utf8Argv utf8(argc, argv);                                                       \
        return utf8Main(utf8.Count(), utf8.Values());                                              \
    }
#else
#define CORELITH_UTF8_MAIN(utf8Main)                                                               \
    int main(int argc, char** argv) {                                                              \
        return utf8Main(argc, argv);                                                               \
    }
#endif
