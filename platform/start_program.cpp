#include "platform/start_program.h"

#ifdef _WIN32
#include "platform/wide_text.h"

#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace corelith {

#ifdef _WIN32

bool StartDetachedProgram(const std::string& program, const std::string& folder) {
    if (program.empty())
        return false;
    // The program path alone, quoted for the blanks a path may hold. A console program gets
    // a console window of its own, where the user answers it, and never shares the console
    // of a console program that started it.
    std::wstring commandLine = L"\"" + Widen(program) + L"\"";
    const std::wstring directory = Widen(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, directory.empty() ? nullptr : directory.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

#else

bool StartDetachedProgram(const std::string& program, const std::string& folder) {
    if (program.empty())
        return false;
    // Double fork, so that the program is not our child and leaves no zombie; a
    // close-on-exec pipe tells whether the exec succeeded.
    int report[2];
    if (pipe(report) != 0)
        return false;
    fcntl(report[1], F_SETFD, FD_CLOEXEC);
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        close(report[0]);
        setsid();
        const pid_t grandchild = fork();
        if (grandchild != 0)
            _exit(grandchild < 0 ? 1 : 0);
        int error = 0;
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            error = errno;
        } else {
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            error = errno;
        }
        ssize_t ignored = write(report[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    waitpid(child, &status, 0);
    int error = 0;
    ssize_t got;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    const bool forked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return forked && got == 0;
}

#endif

} // namespace corelith
