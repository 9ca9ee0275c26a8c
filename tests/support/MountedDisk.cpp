#include "tests/support/MountedDisk.h"

#include "engine/core/FileSystems.h"
#include "engine/core/qzFileSystem.h"

#include <system_error>

MountedDisk::MountedDisk(const std::string& directory) : previous_(std::filesystem::current_path())
{
    ok_ = registerFileSystem(new qzFileSystem) == 0;
    selectFileSystem(0, "");
    if (!directory.empty())
        setDirectory(directory.c_str());
}

MountedDisk::~MountedDisk()
{
    shutdownFileSystems();
    std::error_code ignored; // the directory may be gone by now
    std::filesystem::current_path(previous_, ignored);
}
