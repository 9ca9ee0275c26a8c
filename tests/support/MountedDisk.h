// The disk file system mounted for one test: registered in slot 0, selected, and (when a
// directory is given) made the current directory. Every file system is shut down, and the
// process's working directory restored, when the object goes out of scope. Owns no
// files; pair it with a ScratchDir.
#pragma once

#include <filesystem>
#include <string>

class MountedDisk {
public:
    explicit MountedDisk(const std::string& directory = "");
    ~MountedDisk();
    MountedDisk(const MountedDisk&) = delete;
    MountedDisk& operator=(const MountedDisk&) = delete;

    // False when the registry did not put the disk file system in slot 0.
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
    std::filesystem::path previous_;
};
