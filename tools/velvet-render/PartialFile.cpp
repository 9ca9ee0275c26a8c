#include "tools/velvet-render/PartialFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

PartialFile::PartialFile(const std::string& finalPath) : final_(finalPath)
{
    const std::filesystem::path path(finalPath);
    const std::string name = path.stem().string() + ".partial-" + std::to_string(::getpid()) + path.extension().string();
    partial_ = (path.parent_path() / name).string();
}

PartialFile::~PartialFile()
{
    if (!committed_)
        std::remove(partial_.c_str());
}

bool PartialFile::commit(std::string& error)
{
    if (std::rename(partial_.c_str(), final_.c_str()) != 0) {
        error = "cannot rename " + partial_ + " to " + final_ + ": " + std::strerror(errno);
        return false;
    }
    committed_ = true;
    return true;
}
