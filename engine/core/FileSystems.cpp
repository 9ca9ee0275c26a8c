#include "engine/core/FileSystems.h"

#include "engine/core/qzFileSystem.h"
#include "engine/core/qzUnzipFileSys.h"
#include "engine/core/qzZipFileSys.h"

#include <array>
#include <unistd.h>

namespace {

struct Registry {
    std::array<FileSys*, FILE_SYSTEM_SLOTS> slots {};
    std::int32_t count = 0;
    FileSys* current = nullptr;
    std::string workingDirectory;
};

Registry& registry()
{
    static Registry r;
    return r;
}

}

void initFileSystems()
{
    // Called again without a shutdown: the earlier file systems are deleted, not leaked.
    shutdownFileSystems();
    Registry& r = registry();
    char cwd[260];
    r.workingDirectory = ::getcwd(cwd, sizeof cwd) ? cwd : "";
    registerFileSystem(new qzFileSystem);
    registerFileSystem(new qzUnzipFileSys);
    registerFileSystem(new qzZipFileSys);
    selectFileSystem(FS_SLOT_DISK, "");
    setDirectoryToWorking();
}

void shutdownFileSystems()
{
    Registry& r = registry();
    r.current = nullptr;
    for (FileSys*& fs : r.slots) {
        delete fs;
        fs = nullptr;
    }
    r.count = 0;
}

std::int32_t registerFileSystem(FileSys* fs)
{
    Registry& r = registry();
    if (fs == nullptr || r.count >= FILE_SYSTEM_SLOTS)
        return FILE_SYSTEM_SLOTS;
    r.slots[r.count] = fs;
    return r.count++;
}

void selectFileSystem(std::int32_t slot, const char* name)
{
    Registry& r = registry();
    if (slot < 0 || slot >= FILE_SYSTEM_SLOTS)
        return;
    if (r.current)
        r.current->unmount();
    r.current = r.slots[slot];
    if (r.current)
        r.current->mount(name ? name : "");
}

void setDirectory(const char* path)
{
    if (FileSys* fs = registry().current)
        fs->setCurrentDirectory(path);
}

void setDirectoryToWorking()
{
    if (FileSys* fs = registry().current)
        fs->setCurrentDirectory(registry().workingDirectory.c_str());
}

std::int32_t openFile(const char* path, std::uint32_t mode)
{
    FileSys* fs = registry().current;
    return fs ? fs->openFile(path, mode) : -1;
}

void closeFile(std::int32_t handle)
{
    if (FileSys* fs = registry().current)
        fs->closeFile(handle);
}

std::int32_t readFile(std::int32_t handle, void* buffer, std::uint32_t count)
{
    FileSys* fs = registry().current;
    return fs ? fs->read(handle, buffer, count) : 0;
}

std::uint32_t fileLength(std::int32_t handle)
{
    FileSys* fs = registry().current;
    return fs ? fs->fileLength(handle) : 0;
}

FileSys* currentFileSystem()
{
    return registry().current;
}

FileSys* fileSystemAt(std::int32_t slot)
{
    if (slot < 0 || slot >= FILE_SYSTEM_SLOTS)
        return nullptr;
    return registry().slots[slot];
}

std::int32_t fileSystemCount()
{
    return registry().count;
}

const std::string& workingDirectory()
{
    return registry().workingDirectory;
}
