#include "tools/velvet-render/FrameSinks.h"

#include "tools/velvet-render/PictureFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

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
