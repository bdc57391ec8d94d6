// The engine's one portability spot: the few file and process operations that the C++
// standard library does not offer, each implemented for POSIX systems and for Windows.
#pragma once

#include <string>

namespace marvane::portable {

// The identifier of this process.
long long CurrentProcessId();

// False only when the process `id` is known to have ended; an identifier that cannot be
// checked counts as running, so a lock held by it is never taken away by mistake.
bool ProcessMayBeRunning(long long id);

enum class CreateResult { Created, Exists, Failed };

// Creates the empty file `path` only when nothing exists there yet, in one step that no
// other process can come between. On Failed, `error` holds the system's reason.
CreateResult CreateNewFile(const std::string& path, std::string& error);

// Puts the file `from` in the place of `to`, replacing a file there in one step. Returns
// 0, or -1 with the system's reason in `error`.
int MoveIntoPlace(const std::string& from, const std::string& to, std::string& error);

} // namespace marvane::portable
