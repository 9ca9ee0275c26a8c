#include "engine/core/qzZipFileSys.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"

#include <climits>
#include <minizip/zip.h>

using namespace zipfs_error;

namespace {

constexpr int METHOD_STORED = 0;
constexpr int LEVEL = 9; // no effect on stored members

zipFile handleOf(void* archive)
{
    return static_cast<zipFile>(archive);
}

void report(std::int32_t code, const char* text)
{
    reportError(code, text, 1);
}

}

qzZipFileSys::~qzZipFileSys()
{
    unmount();
}

void qzZipFileSys::mount(const char* name)
{
    unmount();
    FileSys::mount(name);
    memberOpen_ = false;
    archive_ = name ? zipOpen(name, APPEND_STATUS_CREATE) : nullptr;
    if (!archive_)
        report(CANT_OPEN, CANT_OPEN_ARCHIVE_TEXT);
}

void qzZipFileSys::unmount()
{
    if (!archive_)
        return;
    if (memberOpen_)
        zipCloseFileInZip(handleOf(archive_));
    memberOpen_ = false;
    int result = zipClose(handleOf(archive_), nullptr);
    archive_ = nullptr;
    if (result != ZIP_OK)
        report(CANT_CLOSE, CANT_CLOSE_TEXT);
}

void qzZipFileSys::setCurrentDirectory(const char* path)
{
    FileSys::setCurrentDirectory(path);
}

void qzZipFileSys::createDirectory(const char*)
{
    report(NO_CREATE_DIR, NO_CREATE_DIR_TEXT);
}

void qzZipFileSys::deleteDirectory(const char*)
{
    report(NO_DELETE_DIR, NO_DELETE_DIR_TEXT);
}

const char* qzZipFileSys::getCurrentDirectory()
{
    report(NO_CURRENT_DIR, NO_CURRENT_DIR_TEXT);
    return "";
}

void qzZipFileSys::createFile(const char*)
{
    report(NO_CREATE_FILE, NO_CREATE_FILE_TEXT);
}

bool qzZipFileSys::fileExists(const char*)
{
    report(NO_EXIST, NO_EXIST_TEXT);
    return false;
}

bool qzZipFileSys::requireArchive()
{
    if (archive_)
        return true;
    report(NOT_OPENED, NO_ZIP_OPENED_TEXT);
    return false;
}

std::int32_t qzZipFileSys::openFile(const char* name, std::uint32_t)
{
    if (!requireArchive())
        return -1;
    if (memberOpen_) {
        report(ONLY_ONE_OPEN, ONLY_ONE_OPEN_TEXT);
        return -1;
    }
    if (!name || zipOpenNewFileInZip(handleOf(archive_), name, nullptr, nullptr, 0, nullptr, 0,
                     nullptr, METHOD_STORED, LEVEL) != ZIP_OK) {
        report(CANT_OPEN, CANT_OPEN_MEMBER_TEXT);
        return -1;
    }
    memberOpen_ = true;
    return 0;
}

void qzZipFileSys::closeFile(std::int32_t)
{
    if (!requireArchive())
        return;
    if (memberOpen_)
        zipCloseFileInZip(handleOf(archive_));
    memberOpen_ = false;
}

std::int32_t qzZipFileSys::read(std::int32_t, void*, std::uint32_t)
{
    report(NO_READ, NO_READ_TEXT);
    return -1;
}

std::int32_t qzZipFileSys::write(std::int32_t, const void* buffer, std::uint32_t count)
{
    if (!requireArchive())
        return 0;
    if (!memberOpen_) {
        report(NOT_OPENED, NO_FILE_OPENED_TEXT);
        return 0;
    }
    if (!buffer || count == 0)
        return 0;
    if (count > static_cast<std::uint32_t>(INT_MAX))
        count = INT_MAX;
    int result = zipWriteInFileInZip(handleOf(archive_), buffer, count);
    return result == ZIP_OK ? static_cast<std::int32_t>(count) : (result < 0 ? result : -1);
}

std::uint32_t qzZipFileSys::fileLength(std::int32_t)
{
    report(NO_LENGTH, NO_LENGTH_TEXT);
    return 0;
}

void qzZipFileSys::deleteFile(const char*)
{
    report(NO_DELETE_FILE, NO_DELETE_FILE_TEXT);
}

std::uint32_t qzZipFileSys::getPosition(std::int32_t)
{
    report(NO_GET_POSITION, NO_GET_POSITION_TEXT);
    return 0;
}

std::int32_t qzZipFileSys::seek(std::int32_t, std::int32_t)
{
    report(NO_SET_POSITION, NO_SET_POSITION_TEXT);
    return -1;
}

std::int32_t qzZipFileSys::skip(std::int32_t, std::int32_t)
{
    report(NO_SET_POSITION, NO_SET_POSITION_TEXT);
    return -1;
}

void qzZipFileSys::renameFile(const char*, const char*)
{
    report(NO_RENAME, NO_RENAME_TEXT);
}
