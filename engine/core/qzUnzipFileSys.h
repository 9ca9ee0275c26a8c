// qzUnzipFileSys: the FileSys that reads the members of one zip archive through
// minizip's unzip interface (zlib inflates). Mounting opens the archive by file name
// (or from bytes in memory); while mounted one member at a time can be opened, read,
// measured and asked for its position. It owns the open archive and closes it on
// unmount and destruction. It never changes an archive: writing, deleting, renaming,
// seeking and everything about directories report a missing feature
// (engine/core/ErrorCodes.h) and do nothing else.
//
// Member names are matched without regard to letter case. The only member handle is 0;
// handle arguments are ignored. A member whose data does not match its recorded
// checksum, or whose recorded sizes cannot be true, is refused rather than delivered.
// Zip64 archives (as zip -fz writes them) are read like any other.
#pragma once

#include "engine/core/FileSys.h"
#include "engine/core/MemoryZipIo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class qzUnzipFileSys : public FileSys {
public:
    qzUnzipFileSys() = default;
    ~qzUnzipFileSys() override;

    // Opens the archive at name (closing one already mounted). Error 1 when it cannot.
    void mount(const char* name) override;
    // Opens the archive held in size bytes at data, as mount does a file; the bytes are
    // not copied and must outlive the mount. Error 1 when it is no archive.
    void mountMemory(const std::uint8_t* data, std::size_t size);
    // Closes the open member, then the archive. Error 2 when the archive fails to close.
    void unmount() override;
    // Stores the path only; member names are always taken as given.
    void setCurrentDirectory(const char* path) override;
    void createDirectory(const char* path) override;  // error 13
    void deleteDirectory(const char* path) override;  // error 14
    const char* getCurrentDirectory() override;       // error 15, ""
    void createFile(const char* path) override;       // error 3
    // Whether the archive has a member of that name. False with error 7 without an
    // archive, error 8 while a member is open.
    bool fileExists(const char* name) override;
    // 0, or -1 with error 7 (no archive), 9 (a member is already open), 10 (no such
    // member) or 1 (the member cannot be opened: unknown method, encrypted, damaged).
    std::int32_t openFile(const char* name, std::uint32_t mode) override;
    // Closes the open member; error 7 without an archive.
    void closeFile(std::int32_t handle) override;
    // Uncompressed bytes read (at most count), 0 at the end of the member, negative
    // when the data is damaged (error 16). 0 with error 7 without archive or member.
    std::int32_t read(std::int32_t handle, void* buffer, std::uint32_t count) override;
    std::int32_t write(std::int32_t handle, const void* buffer, std::uint32_t count) override; // error 4, -1
    // Uncompressed size of the open member; 0 with error 7 (no member).
    std::uint32_t fileLength(std::int32_t handle) override;
    void deleteFile(const char* path) override; // error 5
    // Offset in the member's uncompressed data; 0 with error 7 without a member.
    std::uint32_t getPosition(std::int32_t handle) override;
    std::int32_t seek(std::int32_t handle, std::int32_t offset) override; // error 11, -1
    std::int32_t skip(std::int32_t handle, std::int32_t offset) override; // error 11, -1
    void renameFile(const char* oldPath, const char* newPath) override;   // error 6

    bool isMounted() const { return archive_ != nullptr; }
    bool isMemberOpen() const { return memberOpen_; }
    // The member names in archive order. False (names left empty) without an archive
    // (error 7), while a member is open (error 8: listing moves the current member) or
    // when the central directory is damaged (error 12).
    bool listMembers(std::vector<std::string>& names);

private:
    bool requireArchive();
    bool requireMember();
    // The member has been read to its recorded size: closes it in minizip, which
    // checks the checksum. False when the data is damaged.
    bool finishMember();

    void* archive_ = nullptr; // minizip unzFile
    MemoryZipSource memory_;  // the bytes of an archive mounted from memory
    bool memberOpen_ = false;
    bool memberFinished_ = false;
    std::uint64_t archiveSize_ = 0; // bytes of the mounted archive, the most a member can hold
    std::uint64_t memberSize_ = 0;
    std::uint64_t memberRead_ = 0;
    std::uint32_t memberCrc_ = 0; // the checksum the archive records for the open member
    std::uint32_t crc_ = 0;       // the checksum of what was read of it so far
};

// Codes beyond the class's original list, in the same numbering.
namespace unzipfs_error {
constexpr std::int32_t DAMAGED = 16;
constexpr const char* DAMAGED_TEXT = "qzUnzipFileSys : Damaged file data";
}
