// qzZipFileSys: the FileSys that writes a new zip archive through minizip's zip
// interface. Mounting creates the archive file (replacing any file of that name);
// members are then added one at a time (open by name, write, close) and stored without
// compression; unmounting writes the central directory and closes the file. It owns the
// archive being written; an archive still mounted at destruction is completed. Reading,
// measuring, positioning and directories report a missing feature
// (engine/core/ErrorCodes.h) and do nothing else.
//
// The only member handle is 0; handle arguments are ignored.
#pragma once

#include "engine/core/FileSys.h"

#include <cstdint>

class qzZipFileSys : public FileSys {
public:
    qzZipFileSys() = default;
    ~qzZipFileSys() override;

    // Creates a new, empty archive at name (completing one already mounted). Error 1
    // when the file cannot be created.
    void mount(const char* name) override;
    // Closes the open member, then writes the central directory and closes the file.
    // Error 2 when that fails.
    void unmount() override;
    // Stores the path only.
    void setCurrentDirectory(const char* path) override;
    void createDirectory(const char* path) override; // error 3
    void deleteDirectory(const char* path) override; // error 4
    const char* getCurrentDirectory() override;      // error 15, ""
    void createFile(const char* path) override;      // error 5
    bool fileExists(const char* path) override;      // error 6, false
    // Starts a stored member named exactly name: 0, or -1 with error 7 (no archive),
    // 8 (a member is already open) or 1 (minizip refused the member).
    std::int32_t openFile(const char* name, std::uint32_t mode) override;
    // Completes the open member; error 7 without an archive.
    void closeFile(std::int32_t handle) override;
    std::int32_t read(std::int32_t handle, void* buffer, std::uint32_t count) override; // error 9, -1
    // Appends count bytes to the open member: count on success, a negative minizip
    // error when writing fails, 0 with error 7 without archive or member.
    std::int32_t write(std::int32_t handle, const void* buffer, std::uint32_t count) override;
    std::uint32_t fileLength(std::int32_t handle) override;  // error 10, 0
    void deleteFile(const char* path) override;              // error 11
    std::uint32_t getPosition(std::int32_t handle) override; // error 12, 0
    std::int32_t seek(std::int32_t handle, std::int32_t offset) override; // error 13, -1
    std::int32_t skip(std::int32_t handle, std::int32_t offset) override; // error 13, -1
    void renameFile(const char* oldPath, const char* newPath) override;   // error 14

    bool isMounted() const { return archive_ != nullptr; }
    bool isMemberOpen() const { return memberOpen_; }

private:
    bool requireArchive();

    void* archive_ = nullptr; // minizip zipFile
    bool memberOpen_ = false;
};
