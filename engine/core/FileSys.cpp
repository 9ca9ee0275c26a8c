#include "engine/core/FileSys.h"

void FileSys::mount(const char* name)
{
    mountName_ = name ? name : "";
}

void FileSys::setCurrentDirectory(const char* path)
{
    currentDirectory_ = path ? path : "";
}
