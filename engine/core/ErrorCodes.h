// Error codes and messages of the three file systems. Each class numbers its own
// errors, so the same number means different things in different classes; every
// message names its class. The texts are the system's own and must not change.
#pragma once

#include <cstdint>

namespace diskfs_error {
constexpr std::int32_t CANT_OPEN = 2;
constexpr const char* CANT_OPEN_TEXT = "qzFileSystem : Can't open file";
constexpr std::int32_t LIST_FULL = 3;
constexpr const char* LIST_FULL_TEXT = "qzFileSystem::File list is full";
constexpr std::int32_t CANT_CREATE = 4;
constexpr const char* CANT_CREATE_TEXT = "qzFileSystem: Can't create file";
}

namespace unzipfs_error {
constexpr std::int32_t CANT_OPEN = 1;
constexpr const char* CANT_OPEN_ARCHIVE_TEXT = "qzUnzipFileSys : Can't open file";
constexpr const char* CANT_OPEN_MEMBER_TEXT = "qzUnzipFileSys : Cant open file";
constexpr std::int32_t CANT_CLOSE = 2;
constexpr const char* CANT_CLOSE_TEXT = "qzUnzipFileSys : Can't close file";
constexpr std::int32_t NO_CREATE_FILE = 3;
constexpr const char* NO_CREATE_FILE_TEXT = "qzUnzipFileSys : No create file feature";
constexpr std::int32_t NO_WRITE = 4;
constexpr const char* NO_WRITE_TEXT = "qzUnzipFileSys : No write in file feature";
constexpr std::int32_t NO_DELETE_FILE = 5;
constexpr const char* NO_DELETE_FILE_TEXT = "qzUnzipFileSys : No delete file feature";
constexpr std::int32_t NO_RENAME = 6;
constexpr const char* NO_RENAME_TEXT = "qzUnzipFileSys : No rename file feature";
constexpr std::int32_t NOT_OPENED = 7;
constexpr const char* NO_ZIP_OPENED_TEXT = "qzUnzipFileSys : no Zip file opened";
constexpr const char* NO_FILE_OPENED_TEXT = "qzUnzipFileSys : no file opened";
constexpr std::int32_t NO_EXIST_WHILE_OPEN = 8;
constexpr const char* NO_EXIST_WHILE_OPEN_TEXT = "qzUnzipFileSys : No FileExist feature when a file is opened";
constexpr std::int32_t ONLY_ONE_OPEN = 9;
constexpr const char* ONLY_ONE_OPEN_TEXT = "qzUnzipFileSys : Only one opened file is allowed";
constexpr std::int32_t NOT_EXISTS = 10;
constexpr const char* NOT_EXISTS_TEXT = "qzUnzipFileSys : File don't exists";
constexpr std::int32_t NO_SET_POSITION = 11;
constexpr const char* NO_SET_POSITION_TEXT = "qzUnzipFileSys : No set file position feature";
constexpr std::int32_t NO_FILE_INFO = 12;
constexpr const char* NO_FILE_INFO_TEXT = "qzUnzipFileSys : can't get file infos";
constexpr std::int32_t NO_CREATE_DIR = 13;
constexpr const char* NO_CREATE_DIR_TEXT = "qzUnzipFileSys : No create directory feature";
constexpr std::int32_t NO_DELETE_DIR = 14;
constexpr const char* NO_DELETE_DIR_TEXT = "qzUnzipFileSys : No delete directory feature";
constexpr std::int32_t NO_CURRENT_DIR = 15;
constexpr const char* NO_CURRENT_DIR_TEXT = "qzUnzipFileSys : No get current directory feature";
}

namespace zipfs_error {
constexpr std::int32_t CANT_OPEN = 1;
constexpr const char* CANT_OPEN_ARCHIVE_TEXT = "qzZipFileSys : Can't open file";
constexpr const char* CANT_OPEN_MEMBER_TEXT = "qzZipFileSys : Cant open file";
constexpr std::int32_t CANT_CLOSE = 2;
constexpr const char* CANT_CLOSE_TEXT = "qzZipFileSys : Can't close file";
constexpr std::int32_t NO_CREATE_DIR = 3;
constexpr const char* NO_CREATE_DIR_TEXT = "qzZipFileSys : No create directory feature";
constexpr std::int32_t NO_DELETE_DIR = 4;
constexpr const char* NO_DELETE_DIR_TEXT = "qzZipFileSys : No delete directory feature";
constexpr std::int32_t NO_CREATE_FILE = 5;
constexpr const char* NO_CREATE_FILE_TEXT = "qzZipFileSys : No create file feature";
constexpr std::int32_t NO_EXIST = 6;
constexpr const char* NO_EXIST_TEXT = "qzZipFileSys : No FileExist feature";
constexpr std::int32_t NOT_OPENED = 7;
constexpr const char* NO_ZIP_OPENED_TEXT = "qzZipFileSys : no Zip file opened";
constexpr const char* NO_FILE_OPENED_TEXT = "qzZipFileSys : no file opened";
constexpr std::int32_t ONLY_ONE_OPEN = 8;
constexpr const char* ONLY_ONE_OPEN_TEXT = "qzZipFileSys : Only one opened file is allowed";
constexpr std::int32_t NO_READ = 9;
constexpr const char* NO_READ_TEXT = "qzZipFileSys : No read in file feature";
constexpr std::int32_t NO_LENGTH = 10;
constexpr const char* NO_LENGTH_TEXT = "qzZipFileSys : No file length feature";
constexpr std::int32_t NO_DELETE_FILE = 11;
constexpr const char* NO_DELETE_FILE_TEXT = "qzZipFileSys : No delete file feature";
constexpr std::int32_t NO_GET_POSITION = 12;
constexpr const char* NO_GET_POSITION_TEXT = "qzZipFileSys : No get file position feature";
constexpr std::int32_t NO_SET_POSITION = 13;
constexpr const char* NO_SET_POSITION_TEXT = "qzZipFileSys : No set file position feature";
constexpr std::int32_t NO_RENAME = 14;
constexpr const char* NO_RENAME_TEXT = "qzZipFileSys : No rename file feature";
constexpr std::int32_t NO_CURRENT_DIR = 15;
constexpr const char* NO_CURRENT_DIR_TEXT = "qzZipFileSys : No get current directory feature";
}
