#include "tests/support/MountedDisk.h"

#include "engine/core/FileSystems.h"
#include "engine/core/qzFileSystem.h"

MountedDisk::MountedDisk(const std::string& directory)
{
    ok_ = registerFileSystem(new qzFileSystem) == 0;
    selectFileSystem(0, "");
    if (!directory.empty())
        setDirectory(directory.c_str());
}

MountedDisk::~MountedDisk()
{
    shutdownFileSystems();
}
