// Text crosses into Windows as UTF-16 and comes back as UTF-8: the workbench keeps every
// text, file names included, in UTF-8, and the backend calls only the wide Windows
// functions, so names outside the ANSI code page survive the round trip.
#pragma once

#include <string>
#include <string_view>

namespace corelith {

// UTF-8 to UTF-16. Bytes that are not valid UTF-8 become U+FFFD each, so a damaged name
// still shows and is never cut short.
std::wstring Widen(std::string_view utf8);

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view utf16);

} // namespace corelith
