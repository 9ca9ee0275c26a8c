#include "engine/core/qzFileSystem.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr mode_t CREATE_PERMISSIONS = 0666; // read and write, narrowed by the umask

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> splitComponents(const char* path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// The one entry of directory dir whose name equals name ignoring ASCII case; empty
// when there is none or more than one.
std::string uniqueMatch(const std::string& dir, const std::string& name)
{
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return {};
    std::string found;
    int matches = 0;
    while (const dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            ++matches;
        }
    }
    ::closedir(d);
    return matches == 1 ? found : std::string();
}

int openFlags(std::uint32_t mode)
{
    int flags = O_RDONLY;
    if (mode & FS_WRITE)
        flags = (mode & FS_READ) ? (O_RDWR | O_CREAT) : (O_WRONLY | O_CREAT);
    if (mode & FS_APPEND)
        flags |= O_APPEND;
    // FS_BINARY and FS_TEXT make no difference on POSIX.
    return flags | O_CLOEXEC;
}

char currentDirectoryBuffer[260];

}

std::string resolvePathIgnoringCase(const char* path, bool allowNewLast)
{
    if (!path || !*path)
        return {};
    if (exists(path))
        return path;
    if (path[0] == '/')
        return {}; // only relative paths are looked up again
    std::vector<std::string> parts = splitComponents(path);
    std::string resolved;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string prefix = resolved.empty() ? std::string() : resolved + "/";
        std::string chosen = part;
        if (part != "." && part != ".." && !exists(prefix + part)) {
            chosen = uniqueMatch(resolved, part);
            if (chosen.empty()) {
                if (!(allowNewLast && i + 1 == parts.size()))
                    return {};
                chosen = part;
            }
        }
        resolved = prefix + chosen;
    }
    return resolved;
}

qzFileSystem::qzFileSystem()
{
    files_.fill(-1);
}

qzFileSystem::~qzFileSystem()
{
    for (int& fd : files_) {
        if (fd != -1)
            ::close(fd);
        fd = -1;
    }
}

void qzFileSystem::unmount()
{
}

void qzFileSystem::setCurrentDirectory(const char* path)
{
    FileSys::setCurrentDirectory(path);
    if (!path)
        return;
    if (::chdir(path) == 0)
        return;
    std::string resolved = resolvePathIgnoringCase(path, false);
    if (!resolved.empty())
        (void)::chdir(resolved.c_str());
}

void qzFileSystem::createDirectory(const char* path)
{
    if (path)
        (void)::mkdir(path, 0777);
}

void qzFileSystem::deleteDirectory(const char* path)
{
    if (path)
        (void)::rmdir(path);
}

const char* qzFileSystem::getCurrentDirectory()
{
    if (!::getcwd(currentDirectoryBuffer, sizeof currentDirectoryBuffer))
        currentDirectoryBuffer[0] = '\0';
    return currentDirectoryBuffer;
}

void qzFileSystem::createFile(const char* path)
{
    int fd = path ? ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, CREATE_PERMISSIONS) : -1;
    if (fd == -1) {
        reportError(diskfs_error::CANT_CREATE, diskfs_error::CANT_CREATE_TEXT, 1);
        return;
    }
    ::close(fd);
}

bool qzFileSystem::fileExists(const char* path)
{
    if (!path)
        return false;
    if (::access(path, F_OK) == 0)
        return true;
    return !resolvePathIgnoringCase(path, false).empty();
}

std::int32_t qzFileSystem::openFile(const char* path, std::uint32_t mode)
{
    int flags = openFlags(mode);
    int fd = path ? ::open(path, flags, CREATE_PERMISSIONS) : -1;
    if (fd == -1 && path && path[0] != '/') {
        std::string resolved = resolvePathIgnoringCase(path, (flags & O_CREAT) != 0);
        if (!resolved.empty() && resolved != path)
            fd = ::open(resolved.c_str(), flags, CREATE_PERMISSIONS);
    }
    if (fd == -1) {
        reportError(diskfs_error::CANT_OPEN, diskfs_error::CANT_OPEN_TEXT, 1);
        return -1;
    }
    while (nextFree_ < static_cast<std::uint32_t>(MAX_FILES)) {
        std::uint32_t index = nextFree_++;
        if (files_[index] == -1) {
            files_[index] = fd;
            return static_cast<std::int32_t>(index);
        }
    }
    // Not stored, not returned: close it rather than leak it.
    ::close(fd);
    reportError(diskfs_error::LIST_FULL, diskfs_error::LIST_FULL_TEXT, 1);
    return -1;
}

int qzFileSystem::descriptor(std::int32_t handle) const
{
    if (handle < 0 || handle >= MAX_FILES)
        return -1;
    return files_[handle];
}

void qzFileSystem::closeFile(std::int32_t handle)
{
    int fd = descriptor(handle);
    if (fd == -1)
        return;
    ::close(fd);
    files_[handle] = -1;
    if (static_cast<std::uint32_t>(handle) < nextFree_)
        nextFree_ = static_cast<std::uint32_t>(handle);
}

namespace {

// One read or write on fd, retried when a signal interrupts it. One call never moves
// more than fits in the 32-bit result. Returns what the call returned (-1 on error).
template <typename Transfer, typename Buffer>
std::int32_t transfer(Transfer call, int fd, Buffer buffer, std::uint32_t count)
{
    if (count > 0x7fffffffu)
        count = 0x7fffffffu;
    ssize_t n;
    do {
        n = call(fd, buffer, count);
    } while (n == -1 && errno == EINTR);
    return static_cast<std::int32_t>(n);
}

}

std::int32_t qzFileSystem::read(std::int32_t handle, void* buffer, std::uint32_t count)
{
    int fd = descriptor(handle);
    if (fd == -1 || !buffer || count == 0)
        return 0;
    return transfer(::read, fd, buffer, count);
}

std::int32_t qzFileSystem::write(std::int32_t handle, const void* buffer, std::uint32_t count)
{
    int fd = descriptor(handle);
    if (fd == -1 || !buffer || count == 0)
        return 0;
    return transfer(::write, fd, buffer, count);
}

std::uint32_t qzFileSystem::fileLength(std::int32_t handle)
{
    int fd = descriptor(handle);
    struct stat st;
    if (fd == -1 || ::fstat(fd, &st) != 0 || st.st_size < 0)
        return 0;
    if (st.st_size > static_cast<off_t>(0xffffffffu))
        return 0xffffffffu;
    return static_cast<std::uint32_t>(st.st_size);
}

void qzFileSystem::deleteFile(const char* path)
{
    if (path)
        (void)std::remove(path);
}

std::uint32_t qzFileSystem::getPosition(std::int32_t handle)
{
    int fd = descriptor(handle);
    if (fd == -1)
        return 0;
    off_t at = ::lseek(fd, 0, SEEK_CUR);
    return at < 0 ? 0 : static_cast<std::uint32_t>(at);
}

std::int32_t qzFileSystem::seek(std::int32_t handle, std::int32_t offset)
{
    int fd = descriptor(handle);
    if (fd == -1)
        return -1;
    return static_cast<std::int32_t>(::lseek(fd, offset, SEEK_SET));
}

std::int32_t qzFileSystem::skip(std::int32_t handle, std::int32_t offset)
{
    int fd = descriptor(handle);
    if (fd == -1)
        return -1;
    return static_cast<std::int32_t>(::lseek(fd, offset, SEEK_CUR));
}

void qzFileSystem::renameFile(const char* oldPath, const char* newPath)
{
    if (oldPath && newPath)
        (void)std::rename(oldPath, newPath);
}
