#include "app/SaverPictures.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

bool IsExecutableFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Reads what the child prints until it closes its end or the time is up.
bool ReadUntilClosed(int fd, int timeoutMs, std::string* output)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd wait = {fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return true;
        // A file name, not a stream: anything longer is not what was asked.
        if (output->size() < 65536)
            output->append(buffer, static_cast<std::size_t>(got));
    }
}

int WaitForExit(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

std::string FindPictureHelper()
{
    if (const char* path = std::getenv("PATH")) {
        const char* start = path;
        for (;;) {
            const char* end = std::strchr(start, ':');
            const std::string folder(start, end != nullptr ? end : start + std::strlen(start));
            if (!folder.empty() && IsExecutableFile(folder + "/" + kPictureHelperName))
                return folder + "/" + kPictureHelperName;
            if (end == nullptr)
                break;
            start = end + 1;
        }
    }
    for (const char* folder : {"/usr/libexec/xscreensaver", "/usr/lib/xscreensaver"}) {
        const std::string candidate = std::string(folder) + "/" + kPictureHelperName;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return "";
}

bool RunPictureHelper(const std::string& helper, int timeoutMs, std::string* file,
                      std::string* reason)
{
    const std::string name = helper.empty() ? std::string(kPictureHelperName) : helper;
    if (helper.empty()) {
        *reason = name + " not found";
        return false;
    }
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        *reason = std::string("cannot run ") + name + ": " + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    char absolute[] = "--absolute";
    std::string program = helper;
    char* arguments[] = {program.data(), absolute, nullptr};
    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, helper.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        *reason = std::string("cannot run ") + name + ": " + std::strerror(spawned);
        return false;
    }
    std::string output;
    const bool finished = ReadUntilClosed(pipeEnds[0], timeoutMs, &output);
    ::close(pipeEnds[0]);
    if (!finished)
        ::kill(child, SIGKILL);
    const int status = WaitForExit(child);
    if (!finished) {
        *reason = name + " took too long";
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *reason = name + " found no picture";
        return false;
    }
    const std::string line = output.substr(0, output.find('\n'));
    if (line.empty()) {
        *reason = name + " printed no file";
        return false;
    }
    *file = line;
    return true;
}
