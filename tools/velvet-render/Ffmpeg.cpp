#include "tools/velvet-render/Ffmpeg.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// How often a waiting run looks whether it was asked to stop.
constexpr int LOOK_EVERY_MS = 50;

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

}

std::vector<std::string> videoCodecArguments(bool lossless)
{
    // Lossless keeps every chroma sample: masters are re-encoded later, and decoded
    // frames can be compared exactly.
    if (lossless)
        return {"-c:v", "libx264", "-preset", "veryfast", "-qp", "0", "-pix_fmt", "yuv444p"};
    return {"-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p"};
}

std::vector<std::string> soundInputArguments(const std::string& soundtrack, const SoundSpan& span)
{
    return {"-ss", seconds(span.startSeconds), "-t", seconds(span.seconds), "-i", soundtrack};
}

std::vector<std::string> audioCodecArguments()
{
    return {"-c:a", "aac", "-b:a", "160k"};
}

void appendArguments(std::vector<std::string>& to, const std::vector<std::string>& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

std::string findOnPath(const std::string& program)
{
    namespace fs = std::filesystem;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

ToolProcess::~ToolProcess()
{
    kill();
}

bool ToolProcess::start(const std::vector<std::string>& args, bool feed, bool capture, std::string& error)
{
    name_ = args.at(0);
    const std::string program = findOnPath(name_);
    if (program.empty()) {
        error = "the " + name_ + " command was not found on PATH (Debian: apt-get install ffmpeg)";
        return false;
    }
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if ((feed && ::pipe(in) != 0) || (capture && ::pipe(out) != 0)) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        for (int fd : {in[0], in[1]})
            if (fd >= 0)
                ::close(fd);
        return false;
    }
    std::vector<std::string> argv = args;
    std::vector<char*> pointers;
    for (std::string& a : argv)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feed) {
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_addclose(&actions, in[0]);
        posix_spawn_file_actions_addclose(&actions, in[1]);
    }
    if (capture) {
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, out[1]);
    }
    // Its own process group keeps Ctrl+C away from the child: velvet-render stops it
    // when it stops. SIGPIPE, ignored here, goes back to its default there.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, pointers.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : {in[0], out[1]})
        if (fd >= 0)
            ::close(fd);
    if (spawned != 0) {
        for (int fd : {in[1], out[0]})
            if (fd >= 0)
                ::close(fd);
        error = "cannot start " + program + ": " + std::strerror(spawned);
        return false;
    }
    child_ = pid;
    input_ = in[1];
    outputPipe_ = out[0];
    if (outputPipe_ >= 0)
        ::fcntl(outputPipe_, F_SETFL, O_NONBLOCK);
    output_.clear();
    return true;
}

void ToolProcess::closeInput()
{
    if (input_ >= 0)
        ::close(input_);
    input_ = -1;
}

void ToolProcess::readOutput()
{
    char buffer[4096];
    while (outputPipe_ >= 0) {
        const ssize_t n = ::read(outputPipe_, buffer, sizeof buffer);
        if (n > 0)
            output_.append(buffer, std::size_t(n));
        else if (n == 0) {
            ::close(outputPipe_);
            outputPipe_ = -1;
        } else if (errno != EINTR)
            return;
    }
}

bool ToolProcess::wait(std::string& error, const std::function<bool()>& stop)
{
    closeInput();
    if (child_ < 0)
        return true;
    int status = 0;
    for (;;) {
        readOutput();
        const pid_t waited = ::waitpid(child_, &status, WNOHANG);
        if (waited == child_)
            break;
        if (waited < 0 && errno != EINTR) {
            error = "cannot wait for " + name_ + ": " + std::strerror(errno);
            child_ = -1;
            return false;
        }
        if (stop && stop()) {
            kill();
            error = name_ + " was stopped";
            return false;
        }
        pollfd ready{outputPipe_, POLLIN, 0};
        ::poll(&ready, outputPipe_ >= 0 ? 1 : 0, LOOK_EVERY_MS);
    }
    child_ = -1;
    readOutput();
    if (outputPipe_ >= 0) {
        ::close(outputPipe_);
        outputPipe_ = -1;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    error = WIFEXITED(status) ? name_ + " failed with status " + std::to_string(WEXITSTATUS(status))
                              : name_ + " ended on signal " + std::to_string(WTERMSIG(status));
    return false;
}

void ToolProcess::kill()
{
    closeInput();
    if (child_ >= 0) {
        ::kill(child_, SIGTERM);
        int status = 0;
        while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
        child_ = -1;
    }
    if (outputPipe_ >= 0) {
        ::close(outputPipe_);
        outputPipe_ = -1;
    }
}
