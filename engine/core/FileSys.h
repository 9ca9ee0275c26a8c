// FileSys: the abstract file system every engine file access goes through, so callers
// never know whether bytes come from the disk or from a zip archive. It owns the two
// names it was last given (current directory and mount name); it does not own open
// files (each implementation keeps its own handles) and it does not choose which file
// system is current: that is the registry's job (engine/core/FileSystems.h).
//
// Handles are 32-bit signed integers, -1 meaning failure. Sizes and offsets are bytes.
// Failures inside an implementation are reported through reportError by that
// implementation, with its own codes (engine/core/ErrorCodes.h).
#pragma once

#include <cstdint>
#include <string>

// Open-mode bits for openFile. Whole-file loading uses FS_READ | FS_BINARY (0x09).
constexpr std::uint32_t FS_READ = 0x01;
constexpr std::uint32_t FS_WRITE = 0x02;
constexpr std::uint32_t FS_APPEND = 0x04;
constexpr std::uint32_t FS_BINARY = 0x08;
constexpr std::uint32_t FS_TEXT = 0x10;

class FileSys {
public:
    FileSys() = default;
    virtual ~FileSys() = default;
    FileSys(const FileSys&) = delete;
    FileSys& operator=(const FileSys&) = delete;

    // Stores name as the mount name; archive file systems also open their archive.
    virtual void mount(const char* name);
    virtual void unmount() = 0;
    // Stores path as the current directory; the disk also changes the process directory.
    virtual void setCurrentDirectory(const char* path);
    virtual void createDirectory(const char* path) = 0;
    virtual void deleteDirectory(const char* path) = 0;
    // The current directory; the string is owned by the file system and valid until
    // the next call. Empty when the file system has none.
    virtual const char* getCurrentDirectory() = 0;
    virtual void createFile(const char* path) = 0;
    virtual bool fileExists(const char* path) = 0;
    // A handle, or -1 on failure. mode: FS_* bits (archives ignore them).
    virtual std::int32_t openFile(const char* path, std::uint32_t mode) = 0;
    virtual void closeFile(std::int32_t handle) = 0;
    // Bytes read into buffer (at most count), 0 at the end, -1 on failure.
    virtual std::int32_t read(std::int32_t handle, void* buffer, std::uint32_t count) = 0;
    // Bytes written from buffer, -1 on failure.
    virtual std::int32_t write(std::int32_t handle, const void* buffer, std::uint32_t count) = 0;
    // Length of the open file in bytes; 0 on failure.
    virtual std::uint32_t fileLength(std::int32_t handle) = 0;
    virtual void deleteFile(const char* path) = 0;
    // Byte offset of the next read or write; 0 on failure.
    virtual std::uint32_t getPosition(std::int32_t handle) = 0;
    // From the start of the file; the new offset, or -1 on failure.
    virtual std::int32_t seek(std::int32_t handle, std::int32_t offset) = 0;
    // From the current position; the new offset, or -1 on failure.
    virtual std::int32_t skip(std::int32_t handle, std::int32_t offset) = 0;
    virtual void renameFile(const char* oldPath, const char* newPath) = 0;

    // The names last stored by setCurrentDirectory and mount (empty at construction).
    const std::string& currentDirectory() const { return currentDirectory_; }
    const std::string& mountName() const { return mountName_; }

private:
    std::string currentDirectory_;
    std::string mountName_;
};
