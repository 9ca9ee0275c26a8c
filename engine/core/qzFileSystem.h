// qzFileSystem: the FileSys over the operating system's files, through POSIX file
// descriptors. Handles are indices into a list of 256 descriptors; the class owns
// every descriptor in its list and closes them when destroyed. It does not decide
// which file system is current (the registry does).
//
// The show's data names files with Windows-style mixed case and separators: a
// relative path that does not open as written is looked up again directory by
// directory, ignoring ASCII case and accepting '\' as a separator; a component is
// taken only when exactly one directory entry matches it.
#pragma once

#include "engine/core/FileSys.h"

#include <array>
#include <cstdint>
#include <string>

class qzFileSystem : public FileSys {
public:
    static constexpr std::int32_t MAX_FILES = 256;

    qzFileSystem();
    ~qzFileSystem() override;

    // The disk has nothing to mount or unmount; mount only stores the name.
    void unmount() override;
    // Stores path and changes the process working directory to it.
    void setCurrentDirectory(const char* path) override;
    void createDirectory(const char* path) override;
    void deleteDirectory(const char* path) override;
    // The process working directory in a process-wide 260-byte buffer, overwritten by
    // the next call; empty when it does not fit.
    const char* getCurrentDirectory() override;
    // Creates path if missing (an existing file is left unchanged). Error 4 on failure.
    void createFile(const char* path) override;
    bool fileExists(const char* path) override;
    // Read-only without FS_WRITE; with it, created if missing and never truncated.
    // Error 2 when the file cannot be opened, error 3 when all 256 handles are in use;
    // -1 in both cases.
    std::int32_t openFile(const char* path, std::uint32_t mode) override;
    // Frees a valid handle; anything else is ignored.
    void closeFile(std::int32_t handle) override;
    // 0 for an invalid handle, a null buffer or a zero count; else the read(2) result.
    std::int32_t read(std::int32_t handle, void* buffer, std::uint32_t count) override;
    // 0 for an invalid handle, a null buffer or a zero count; else the write(2) result.
    std::int32_t write(std::int32_t handle, const void* buffer, std::uint32_t count) override;
    // Does not move the file position; 0 for an invalid handle.
    std::uint32_t fileLength(std::int32_t handle) override;
    void deleteFile(const char* path) override;
    std::uint32_t getPosition(std::int32_t handle) override;
    std::int32_t seek(std::int32_t handle, std::int32_t offset) override;
    std::int32_t skip(std::int32_t handle, std::int32_t offset) override;
    void renameFile(const char* oldPath, const char* newPath) override;

    // The descriptor behind a handle, -1 when the handle is not valid.
    int descriptor(std::int32_t handle) const;

private:
    std::array<int, MAX_FILES> files_;
    std::uint32_t nextFree_ = 0;
};

// The path as it exists on disk: path itself when it exists; for a relative path
// that does not, the unique case-insensitive match of each relative component. When
// allowNewLast is true the last component may be missing and is kept as written (for
// files about to be created). Empty when no unique match exists.
std::string resolvePathIgnoringCase(const char* path, bool allowNewLast);
