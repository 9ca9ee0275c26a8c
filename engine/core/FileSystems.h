// The process-wide file-system registry: up to ten registered file systems, one of
// them current, and the free functions that forward to the current one. The registry
// owns every registered file system from registration until shutdownFileSystems; it
// does not own the current pointer separately (it always points into a slot).
// Single-threaded: nothing here is locked.
//
// Start-up fills slot 0 with the disk (qzFileSystem, current), slot 1 with the zip
// reader (qzUnzipFileSys) and slot 2 with the zip writer (qzZipFileSys).
#pragma once

#include "engine/core/FileSys.h"

#include <cstdint>
#include <string>

constexpr std::int32_t FILE_SYSTEM_SLOTS = 10;
constexpr std::int32_t FS_SLOT_DISK = 0;
constexpr std::int32_t FS_SLOT_UNZIP = 1;
constexpr std::int32_t FS_SLOT_ZIP = 2;

// Empties the registry, records the working directory, registers the three file
// systems and makes the disk current. Part of engine start-up.
void initFileSystems();
// Deletes every registered file system; no slot, no current file system afterwards.
void shutdownFileSystems();

// Takes ownership of fs and returns its slot; returns FILE_SYSTEM_SLOTS (10) and takes
// nothing when fs is null or the registry is full (the caller still owns fs).
std::int32_t registerFileSystem(FileSys* fs);
// Slot above 9: nothing. Otherwise unmounts the current file system (even when it is
// the one selected again), makes the slot's entry current and mounts it with name.
// An empty slot leaves no file system current.
void selectFileSystem(std::int32_t slot, const char* name);

// setCurrentDirectory on the current file system, if any.
void setDirectory(const char* path);
// Back to the process working directory recorded at start-up.
void setDirectoryToWorking();

// Forwarded to the current file system. Without one: -1 (openFile), 0 (readFile,
// fileLength), nothing (closeFile); nothing is reported.
std::int32_t openFile(const char* path, std::uint32_t mode);
void closeFile(std::int32_t handle);
std::int32_t readFile(std::int32_t handle, void* buffer, std::uint32_t count);
std::uint32_t fileLength(std::int32_t handle);

// Inspection, for tools and tests. Null for an empty or out-of-range slot.
FileSys* currentFileSystem();
FileSys* fileSystemAt(std::int32_t slot);
std::int32_t fileSystemCount();
// The process working directory recorded by initFileSystems (empty before).
const std::string& workingDirectory();
