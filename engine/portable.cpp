#include "engine/portable.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace marvane::portable {

#ifdef _WIN32

namespace {

std::string SystemMessage(DWORD code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "system error " + std::to_string(code) : message;
}

} // namespace

long long CurrentProcessId() {
    return static_cast<long long>(GetCurrentProcessId());
}

bool ProcessMayBeRunning(long long id) {
    if (id <= 0 || id > 0xFFFFFFFFLL) {
        return false;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) {
        // No such process; any other refusal (access denied) means it exists.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const BOOL known = GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return !known || code == STILL_ACTIVE;
}

CreateResult CreateNewFile(const std::string& path, std::string& error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
            return CreateResult::Exists;
        }
        error = SystemMessage(code);
        return CreateResult::Failed;
    }
    CloseHandle(file);
    return CreateResult::Created;
}

int MoveIntoPlace(const std::string& from, const std::string& to, std::string& error) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    error = SystemMessage(GetLastError());
    return -1;
}

#else

long long CurrentProcessId() {
    return static_cast<long long>(getpid());
}

bool ProcessMayBeRunning(long long id) {
    const auto pid = static_cast<pid_t>(id);
    if (id <= 0 || static_cast<long long>(pid) != id) {
        return false;
    }
    // Signal 0 only asks whether the process exists; EPERM means it does.
    return kill(pid, 0) == 0 || errno != ESRCH;
}

CreateResult CreateNewFile(const std::string& path, std::string& error) {
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (file < 0) {
        if (errno == EEXIST) {
            return CreateResult::Exists;
        }
        error = std::strerror(errno);
        return CreateResult::Failed;
    }
    close(file);
    return CreateResult::Created;
}

int MoveIntoPlace(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        return 0;
    }
    error = std::strerror(errno);
    return -1;
}

#endif

} // namespace marvane::portable
