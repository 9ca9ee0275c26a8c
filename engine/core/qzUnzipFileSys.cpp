#include "engine/core/qzUnzipFileSys.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"

#include <climits>
#include <filesystem>
#include <memory>
#include <new>
#include <minizip/unzip.h>
#include <zlib.h>

using namespace unzipfs_error;

namespace {

constexpr int CASE_INSENSITIVE = 2;
constexpr std::size_t MAX_NAME = 256; // minizip keeps member names to this length
constexpr std::uint64_t METHOD_STORED = 0;
constexpr std::uint64_t METHOD_DEFLATED = 8;
constexpr std::uint64_t FLAG_ENCRYPTED = 0x1;
// Deflate cannot expand data by more than about 1032:1; a larger recorded size is a lie
// that would make readers allocate for data that never comes.
constexpr std::uint64_t MAX_DEFLATE_RATIO = 1032;

// A size field of this value means the true size is in the Zip64 extra field.
constexpr std::uint64_t ZIP64_MARK = 0xFFFFFFFFu;
constexpr unsigned ZIP64_EXTRA_ID = 0x0001;
// Sizes the file system can report: its lengths and positions are 32-bit.
constexpr std::uint64_t MAX_MEMBER_SIZE = 0xFFFFFFFEu;

unzFile handleOf(void* archive)
{
    return static_cast<unzFile>(archive);
}

void report(std::int32_t code, const char* text)
{
    reportError(code, text, 1);
}

std::uint64_t readLe64(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// Replaces the marked sizes of the current member's central header by the ones its Zip64
// extended information field holds (uncompressed size first, then compressed size,
// each present only when its header field is marked). The minizip that Debian ships
// reads that field only where an unsigned long is 32 bits, so on 64-bit systems it is
// read here. False when a marked size has no value to replace it.
bool resolveZip64Sizes(unzFile zip, unz_file_info64& info)
{
    bool uncompressedMarked = info.uncompressed_size == ZIP64_MARK;
    bool compressedMarked = info.compressed_size == ZIP64_MARK;
    if (!uncompressedMarked && !compressedMarked)
        return true;
    std::size_t size = info.size_file_extra;
    std::unique_ptr<unsigned char[]> extra(new (std::nothrow) unsigned char[size + 1]);
    if (!extra || size == 0 || unzGetCurrentFileInfo64(zip, nullptr, nullptr, 0, extra.get(), uLong(size), nullptr, 0) != UNZ_OK)
        return false;
    for (std::size_t at = 0; at + 4 <= size;) {
        unsigned id = extra[at] | (extra[at + 1] << 8);
        std::size_t length = extra[at + 2] | (extra[at + 3] << 8);
        const unsigned char* field = extra.get() + at + 4;
        at += 4 + length;
        if (id != ZIP64_EXTRA_ID || at > size)
            continue;
        std::size_t needed = 8 * (std::size_t(uncompressedMarked) + std::size_t(compressedMarked));
        if (length < needed)
            return false;
        if (uncompressedMarked)
            info.uncompressed_size = readLe64(field);
        if (compressedMarked)
            info.compressed_size = readLe64(field + (uncompressedMarked ? 8 : 0));
        return true;
    }
    return false;
}

// Sizes that can be true of a member of an archive of archiveSize bytes: its compressed
// data fits in the archive, and the uncompressed size follows from it.
bool plausibleSizes(const unz_file_info64& info, std::uint64_t archiveSize)
{
    if (info.flag & FLAG_ENCRYPTED)
        return false;
    if (info.uncompressed_size > MAX_MEMBER_SIZE || info.compressed_size > archiveSize)
        return false;
    if (info.compression_method == METHOD_STORED)
        return info.uncompressed_size == info.compressed_size;
    if (info.compression_method == METHOD_DEFLATED)
        return info.uncompressed_size <= info.compressed_size * MAX_DEFLATE_RATIO + 64;
    return false;
}

}

qzUnzipFileSys::~qzUnzipFileSys()
{
    unmount();
}

void qzUnzipFileSys::mount(const char* name)
{
    unmount();
    FileSys::mount(name);
    memberOpen_ = false;
    archive_ = name ? unzOpen(name) : nullptr;
    if (!archive_) {
        report(CANT_OPEN, CANT_OPEN_ARCHIVE_TEXT);
        return;
    }
    std::error_code error;
    archiveSize_ = std::filesystem::file_size(name, error);
    if (error)
        archiveSize_ = 0;
}

void qzUnzipFileSys::mountMemory(const std::uint8_t* data, std::size_t size)
{
    unmount();
    FileSys::mount("");
    memberOpen_ = false;
    memory_ = MemoryZipSource { data, data ? size : 0, 0 };
    zlib_filefunc64_def io;
    fillMemoryZipIo(io, memory_);
    archive_ = unzOpen2_64("", &io);
    if (!archive_) {
        report(CANT_OPEN, CANT_OPEN_ARCHIVE_TEXT);
        return;
    }
    archiveSize_ = memory_.size;
}

void qzUnzipFileSys::unmount()
{
    if (!archive_)
        return;
    if (memberOpen_ && !memberFinished_)
        unzCloseCurrentFile(handleOf(archive_));
    memberOpen_ = false;
    memberFinished_ = false;
    int result = unzClose(handleOf(archive_));
    archive_ = nullptr;
    if (result != UNZ_OK)
        report(CANT_CLOSE, CANT_CLOSE_TEXT);
}

void qzUnzipFileSys::setCurrentDirectory(const char* path)
{
    FileSys::setCurrentDirectory(path);
}

void qzUnzipFileSys::createDirectory(const char*)
{
    report(NO_CREATE_DIR, NO_CREATE_DIR_TEXT);
}

void qzUnzipFileSys::deleteDirectory(const char*)
{
    report(NO_DELETE_DIR, NO_DELETE_DIR_TEXT);
}

const char* qzUnzipFileSys::getCurrentDirectory()
{
    report(NO_CURRENT_DIR, NO_CURRENT_DIR_TEXT);
    return "";
}

void qzUnzipFileSys::createFile(const char*)
{
    report(NO_CREATE_FILE, NO_CREATE_FILE_TEXT);
}

bool qzUnzipFileSys::requireArchive()
{
    if (archive_)
        return true;
    report(NOT_OPENED, NO_ZIP_OPENED_TEXT);
    return false;
}

bool qzUnzipFileSys::requireMember()
{
    if (!requireArchive())
        return false;
    if (memberOpen_)
        return true;
    report(NOT_OPENED, NO_FILE_OPENED_TEXT);
    return false;
}

bool qzUnzipFileSys::fileExists(const char* name)
{
    if (!requireArchive())
        return false;
    if (memberOpen_) {
        report(NO_EXIST_WHILE_OPEN, NO_EXIST_WHILE_OPEN_TEXT);
        return false;
    }
    return name && unzLocateFile(handleOf(archive_), name, CASE_INSENSITIVE) == UNZ_OK;
}

std::int32_t qzUnzipFileSys::openFile(const char* name, std::uint32_t)
{
    if (!requireArchive())
        return -1;
    if (memberOpen_) {
        report(ONLY_ONE_OPEN, ONLY_ONE_OPEN_TEXT);
        return -1;
    }
    unzFile zip = handleOf(archive_);
    if (!name || unzLocateFile(zip, name, CASE_INSENSITIVE) != UNZ_OK) {
        report(NOT_EXISTS, NOT_EXISTS_TEXT);
        return -1;
    }
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
        || !resolveZip64Sizes(zip, info) || !plausibleSizes(info, archiveSize_) || unzOpenCurrentFile(zip) != UNZ_OK) {
        report(CANT_OPEN, CANT_OPEN_MEMBER_TEXT);
        return -1;
    }
    memberOpen_ = true;
    memberFinished_ = false;
    memberSize_ = info.uncompressed_size;
    memberRead_ = 0;
    memberCrc_ = static_cast<std::uint32_t>(info.crc);
    crc_ = static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0));
    return 0;
}

void qzUnzipFileSys::closeFile(std::int32_t)
{
    if (!requireArchive())
        return;
    if (memberOpen_ && !memberFinished_)
        unzCloseCurrentFile(handleOf(archive_));
    memberOpen_ = false;
    memberFinished_ = false;
}

bool qzUnzipFileSys::finishMember()
{
    memberFinished_ = true;
    // minizip checks the checksum only when its own idea of the size has run out, which
    // for a Zip64 member it never does: the sum is checked here for every member.
    if (unzCloseCurrentFile(handleOf(archive_)) == UNZ_OK && crc_ == memberCrc_)
        return true;
    report(DAMAGED, DAMAGED_TEXT);
    return false;
}

std::int32_t qzUnzipFileSys::read(std::int32_t, void* buffer, std::uint32_t count)
{
    if (!requireMember())
        return 0;
    if (memberFinished_ || !buffer || count == 0)
        return 0;
    // Never past the member's recorded size, whatever size minizip took from the header.
    std::uint64_t left = memberSize_ - memberRead_;
    unsigned chunk = count > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX : count;
    if (chunk > left)
        chunk = static_cast<unsigned>(left);
    int n = chunk > 0 ? unzReadCurrentFile(handleOf(archive_), buffer, chunk) : 0;
    if (n < 0) {
        report(DAMAGED, DAMAGED_TEXT);
        return n;
    }
    crc_ = static_cast<std::uint32_t>(crc32(crc_, static_cast<const Bytef*>(buffer), static_cast<uInt>(n)));
    memberRead_ += static_cast<std::uint64_t>(n);
    // The last byte of the member: let minizip check the checksum now, because a
    // whole-file reader stops here and never asks for the end.
    if (memberRead_ >= memberSize_ && !finishMember())
        return UNZ_CRCERROR;
    return n;
}

std::int32_t qzUnzipFileSys::write(std::int32_t, const void*, std::uint32_t)
{
    report(NO_WRITE, NO_WRITE_TEXT);
    return -1;
}

std::uint32_t qzUnzipFileSys::fileLength(std::int32_t)
{
    if (!requireMember())
        return 0;
    // Read and checked when the member was opened.
    return static_cast<std::uint32_t>(memberSize_);
}

void qzUnzipFileSys::deleteFile(const char*)
{
    report(NO_DELETE_FILE, NO_DELETE_FILE_TEXT);
}

std::uint32_t qzUnzipFileSys::getPosition(std::int32_t)
{
    if (!requireMember())
        return 0;
    if (memberFinished_)
        return static_cast<std::uint32_t>(memberRead_);
    z_off_t at = unztell(handleOf(archive_));
    return at < 0 ? 0 : static_cast<std::uint32_t>(at);
}

std::int32_t qzUnzipFileSys::seek(std::int32_t, std::int32_t)
{
    report(NO_SET_POSITION, NO_SET_POSITION_TEXT);
    return -1;
}

std::int32_t qzUnzipFileSys::skip(std::int32_t, std::int32_t)
{
    report(NO_SET_POSITION, NO_SET_POSITION_TEXT);
    return -1;
}

void qzUnzipFileSys::renameFile(const char*, const char*)
{
    report(NO_RENAME, NO_RENAME_TEXT);
}

bool qzUnzipFileSys::listMembers(std::vector<std::string>& names)
{
    names.clear();
    if (!requireArchive())
        return false;
    if (memberOpen_) {
        report(NO_EXIST_WHILE_OPEN, NO_EXIST_WHILE_OPEN_TEXT);
        return false;
    }
    unzFile zip = handleOf(archive_);
    int status = unzGoToFirstFile(zip);
    while (status == UNZ_OK) {
        char name[MAX_NAME + 1];
        unz_file_info info;
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        names.emplace_back(name, info.size_filename < sizeof name ? info.size_filename : sizeof name - 1);
        status = unzGoToNextFile(zip);
    }
    if (status == UNZ_END_OF_LIST_OF_FILE)
        return true;
    names.clear();
    report(NO_FILE_INFO, NO_FILE_INFO_TEXT);
    return false;
}
