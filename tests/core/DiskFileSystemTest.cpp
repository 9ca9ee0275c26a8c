#include "engine/core/qzFileSystem.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

namespace {

namespace fs = std::filesystem;

std::string readAll(qzFileSystem& disk, std::int32_t handle)
{
    std::string out;
    char chunk[7];
    for (std::int32_t n; (n = disk.read(handle, chunk, sizeof chunk)) > 0;)
        out.append(chunk, static_cast<std::size_t>(n));
    return out;
}

class DiskFileSystem : public ::testing::Test {
protected:
    void SetUp() override { clearLastError(); }
    void TearDown() override { fs::current_path(saved); }

    ScratchDir dir;
    qzFileSystem disk;
    fs::path saved = fs::current_path();
};

}

TEST_F(DiskFileSystem, HandlesAreTheLowestFreeSlotsAndAFullListLeaksNoDescriptor)
{
    std::string a = dir.write("a", "a");
    auto openDescriptorCount = [] { return int(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator())); };
    int before = openDescriptorCount();
    {
        qzFileSystem local;
        for (int i = 0; i < qzFileSystem::MAX_FILES; ++i)
            ASSERT_EQ(local.openFile(a.c_str(), FS_READ), i);
        EXPECT_EQ(local.openFile(a.c_str(), FS_READ), -1);
        EXPECT_EQ(std::pair(lastErrorCode(), lastErrorMessage()), std::pair(diskfs_error::LIST_FULL, std::string("qzFileSystem::File list is full")));
        EXPECT_EQ(openDescriptorCount(), before + qzFileSystem::MAX_FILES);
        for (int handle : { 77, 3, -1, 3, 256 })
            local.closeFile(handle); // after 77 and 3, ignored
        EXPECT_EQ(local.openFile(a.c_str(), FS_READ), 3);
        EXPECT_EQ(local.openFile(a.c_str(), FS_READ), 77);
    }
    EXPECT_EQ(openDescriptorCount(), before) << "destruction closes every descriptor";
}

TEST_F(DiskFileSystem, ModeBitsChooseAccessCreationAndAppending)
{
    // Mode, whether the file "abcdef" exists, what is written, the content afterwards
    // (null: openFile fails).
    const std::tuple<std::uint32_t, bool, std::string, const char*> cases[] = {
        { FS_WRITE, true, "AB", "ABcdef" },                // overwrites without shortening
        { FS_READ | FS_WRITE, true, "XYZ", "XYZdef" },     // the same, read-write
        { FS_WRITE | FS_APPEND, true, "gh", "abcdefgh" },  // appends at the end
        { FS_WRITE | FS_BINARY, false, "new", "new" },     // creates a missing file
        { FS_READ, false, "", nullptr },                   // does not create
        { FS_READ | FS_TEXT, true, "zz", "abcdef" },       // refuses writes
    };
    for (const auto& [mode, exists, text, expected] : cases) {
        SCOPED_TRACE(mode);
        std::string p = exists ? dir.write("m", "abcdef") : dir.file("new" + std::to_string(mode));
        std::int32_t h = disk.openFile(p.c_str(), mode);
        if (!expected) {
            EXPECT_EQ(std::pair(lastErrorCode(), lastErrorMessage()), std::pair(diskfs_error::CANT_OPEN, std::string("qzFileSystem : Can't open file")));
            EXPECT_FALSE(h != -1 || fs::exists(p));
            continue;
        }
        ASSERT_NE(h, -1);
        EXPECT_EQ(disk.write(h, text.data(), std::uint32_t(text.size())), (mode & FS_WRITE) ? int(text.size()) : -1);
        disk.closeFile(h);
        EXPECT_EQ(readWholeFile(p), expected);
    }
    EXPECT_EQ(std::pair(disk.openFile("", FS_READ), disk.openFile(nullptr, FS_READ)), std::pair(-1, -1));
}

TEST_F(DiskFileSystem, ReadWriteLengthAndPosition)
{
    std::string p = dir.write("data", "0123456789");
    std::int32_t h = disk.openFile(p.c_str(), FS_READ | FS_BINARY);
    char buf[4] = {};
    EXPECT_EQ(std::pair(disk.read(h, buf, 0), disk.read(h, nullptr, 4)), std::pair(0, 0));
    EXPECT_EQ(disk.read(h, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "012");
    EXPECT_EQ(disk.fileLength(h), 10u);
    EXPECT_EQ(disk.getPosition(h), 3u); // the length does not move the position
    EXPECT_EQ(disk.skip(h, 4), 7);
    EXPECT_EQ(disk.read(h, buf, 4), 3);
    EXPECT_EQ(std::string(buf, 3), "789");
    EXPECT_EQ(disk.read(h, buf, 4), 0);
    EXPECT_EQ(disk.seek(h, 2), 2);
    EXPECT_EQ(disk.skip(h, -1), 1);
    EXPECT_EQ(readAll(disk, h), "123456789");
    for (std::int32_t bad : { h + 1, -1, 300 }) {
        EXPECT_EQ(std::make_tuple(disk.read(bad, buf, 4), disk.write(bad, "x", 1), disk.fileLength(bad), disk.getPosition(bad),
                      disk.seek(bad, 0), disk.skip(bad, 0)), std::make_tuple(0, 0, 0u, 0u, -1, -1)) << bad;
    }
}

TEST_F(DiskFileSystem, FilesAndDirectoriesAreCreatedRenamedAndDeleted)
{
    const std::string sub = dir.file("sub"), a = dir.write("sub/a", "contents"), b = dir.file("sub/b");
    disk.createFile(a.c_str());
    EXPECT_EQ(readWholeFile(a), "contents");
    disk.renameFile(a.c_str(), b.c_str());
    EXPECT_EQ(readWholeFile(b), "contents");
    disk.createFile(a.c_str());
    EXPECT_EQ(lastErrorCode(), 0);
    EXPECT_TRUE(disk.fileExists(a.c_str()) && fs::file_size(a) == 0);
    disk.deleteFile(b.c_str());
    disk.deleteDirectory(sub.c_str()); // not empty: stays
    EXPECT_TRUE(fs::exists(sub));
    disk.deleteFile(a.c_str());
    disk.deleteDirectory(sub.c_str());
    EXPECT_FALSE(fs::exists(sub));
    disk.createDirectory(sub.c_str());
    EXPECT_TRUE(fs::is_directory(sub));
    disk.createFile(dir.file("missing-dir/file").c_str());
    EXPECT_EQ(lastErrorMessage(), "qzFileSystem: Can't create file");
    EXPECT_EQ(lastErrorCode(), diskfs_error::CANT_CREATE);
}

// Names written for a case-blind file system find their file when it is the only match.
TEST_F(DiskFileSystem, MixedCasePathsFallBackToTheUniqueMatch)
{
    dir.write("Data/Textures/Sky.JPG", "sky");
    dir.write("Data/twin.txt", "lower");
    dir.write("Data/TWIN.txt", "upper");
    disk.setCurrentDirectory(dir.path().c_str());
    EXPECT_EQ(fs::path(disk.getCurrentDirectory()), fs::canonical(dir.path()));
    const std::pair<const char*, const char*> cases[] = { // path, content (null: must not open)
        { "Data/Textures/Sky.JPG", "sky" },   // exact
        { "data/textures/sky.jpg", "sky" },   // fallback at every level
        { "DATA\\Textures\\SKY.jpg", "sky" }, // Windows separators
        { "./Data/../data/TEXTURES/sky.JPG", "sky" },
        { "data/twin.txt", "lower" },         // an exact part wins over the ambiguity
        { "DATA/TWIN.txt", "upper" },
        { "Data/Twin.txt", nullptr },         // two matches: refused
        { "Data/missing.jpg", nullptr },
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path);
        std::int32_t h = disk.openFile(path, FS_READ | FS_BINARY);
        EXPECT_EQ(disk.fileExists(path), expected != nullptr);
        if (expected)
            EXPECT_EQ(readAll(disk, h), expected);
        else
            EXPECT_EQ(h, -1);
        disk.closeFile(h);
    }
    // A new file goes into the folder that matches; the current directory too.
    disk.closeFile(disk.openFile("DATA/New.txt", FS_WRITE));
    EXPECT_TRUE(fs::exists(dir.file("Data/New.txt")));
    disk.setCurrentDirectory("dAtA");
    EXPECT_TRUE(disk.fileExists("new.TXT"));
}
