#include "tools/velvet-render/FrameSinks.h"

#include "tools/velvet-render/PictureFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= std::size_t(n);
    }
    return true;
}

}

std::string findOnPath(const std::string& program)
{
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

bool prepareFolder(const std::string& dir, std::string& error)
{
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir)) {
        error = "cannot create the folder " + dir + (ec ? ": " + ec.message() : "");
        return false;
    }
    if (::access(dir.c_str(), W_OK) != 0) {
        error = "cannot write in the folder " + dir + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool checkFolderPossible(const std::string& dir, std::string& error)
{
    std::error_code ec;
    fs::path existing = dir;
    while (!fs::exists(existing, ec) && existing.has_parent_path() && existing != existing.parent_path())
        existing = existing.parent_path();
    if (!fs::is_directory(existing, ec)) {
        error = "cannot create the folder " + dir + ": " + existing.string() + " is not a folder";
        return false;
    }
    if (::access(existing.c_str(), W_OK) != 0) {
        error = "cannot write in the folder " + existing.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool checkWritableFile(const std::string& file, std::string& error)
{
    const bool existed = fs::exists(file);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) {
        error = "cannot write " + file + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    if (!existed)
        ::unlink(file.c_str());
    return true;
}

bool FrameFolderWriter::open(const std::string& dir, PictureFormat format, std::string& error)
{
    if (!prepareFolder(dir, error))
        return false;
    dir_ = dir;
    format_ = format;
    return true;
}

bool FrameFolderWriter::write(long frame, const std::uint8_t* rgb, int width, int height, std::string& error)
{
    char name[48];
    std::snprintf(name, sizeof name, "frame_%05ld.%s", frame, pictureExtension(format_));
    return writePicture((fs::path(dir_) / name).string(), format_, rgb, width, height, error);
}

VideoEncoder::~VideoEncoder()
{
    std::string ignored;
    close(ignored);
}

bool VideoEncoder::open(const std::string& file, const std::string& soundtrack, const SoundSpan& span, int width,
    int height, int fps, std::string& error)
{
    const std::string ffmpeg = findOnPath("ffmpeg");
    if (ffmpeg.empty()) {
        error = "the ffmpeg command was not found on PATH (Debian: apt-get install ffmpeg)";
        return false;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    char start[32], length[32];
    std::snprintf(start, sizeof start, "%.6f", span.startSeconds);
    std::snprintf(length, sizeof length, "%.6f", span.seconds);
    // The soundtrack is cut on input, so the sound starts on the first frame's show time.
    std::vector<std::string> args = {ffmpeg, "-hide_banner", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size, "-framerate", rate, "-i", "pipe:0",
        "-ss", start, "-t", length, "-i", soundtrack, "-map", "0:v:0", "-map", "1:a:0",
        "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p",
        "-c:a", "aac", "-b:a", "160k", file};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    // Its own process group keeps Ctrl+C away from ffmpeg: the render stops taking
    // frames and closes the pipe, and ffmpeg finishes a playable file. SIGPIPE, ignored
    // here, goes back to its default there.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, ffmpeg.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    if (spawned != 0) {
        ::close(fds[1]);
        error = "cannot start " + ffmpeg + ": " + std::strerror(spawned);
        return false;
    }
    child_ = pid;
    pipe_ = fds[1];
    return true;
}

bool VideoEncoder::write(const std::uint8_t* rgb, int width, int height, std::string& error)
{
    if (pipe_ < 0) {
        error = "the video encoder is not running";
        return false;
    }
    if (!writeAll(pipe_, rgb, std::size_t(width) * std::size_t(height) * 3)) {
        error = "ffmpeg stopped taking frames (see its message above)";
        return false;
    }
    return true;
}

bool VideoEncoder::close(std::string& error)
{
    if (pipe_ >= 0) {
        ::close(pipe_);
        pipe_ = -1;
    }
    if (child_ < 0)
        return true;
    int status = 0;
    pid_t waited;
    do
        waited = ::waitpid(child_, &status, 0);
    while (waited < 0 && errno == EINTR);
    child_ = -1;
    if (waited < 0) {
        error = std::string("cannot wait for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    error = WIFEXITED(status) ? "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status))
                              : "ffmpeg ended on signal " + std::to_string(WTERMSIG(status));
    return false;
}
