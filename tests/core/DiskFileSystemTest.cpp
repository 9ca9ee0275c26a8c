#include "engine/core/qzFileSystem.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

int openDescriptorCount()
{
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

std::string readAll(qzFileSystem& fs, std::int32_t handle)
{
    std::string out;
    char chunk[7];
    std::int32_t n;
    while ((n = fs.read(handle, chunk, sizeof chunk)) > 0)
        out.append(chunk, static_cast<std::size_t>(n));
    return out;
}

class DiskFileSystem : public ::testing::Test {
protected:
    void SetUp() override { clearLastError(); }
    std::string path(const std::string& name) { return dir.file(name); }

    ScratchDir dir;
    qzFileSystem fs;
};

}

TEST_F(DiskFileSystem, HandlesAreTheLowestFreeSlots)
{
    std::string a = dir.write("a", "a");
    EXPECT_EQ(fs.openFile(a.c_str(), FS_READ), 0);
    EXPECT_EQ(fs.openFile(a.c_str(), FS_READ), 1);
    EXPECT_EQ(fs.openFile(a.c_str(), FS_READ), 2);
    fs.closeFile(1);
    EXPECT_EQ(fs.descriptor(1), -1);
    EXPECT_EQ(fs.openFile(a.c_str(), FS_READ), 1);
    EXPECT_EQ(fs.openFile(a.c_str(), FS_READ), 3);
    // Invalid handles are ignored.
    fs.closeFile(-1);
    fs.closeFile(256);
    fs.closeFile(200);
    EXPECT_NE(fs.descriptor(0), -1);
}

TEST_F(DiskFileSystem, FullListReportsErrorThreeWithoutLeakingTheDescriptor)
{
    std::string a = dir.write("a", "a");
    for (int i = 0; i < qzFileSystem::MAX_FILES; ++i)
        ASSERT_EQ(fs.openFile(a.c_str(), FS_READ), i);
    int before = openDescriptorCount();
    EXPECT_EQ(fs.openFile(a.c_str(), FS_READ), -1);
    EXPECT_EQ(lastErrorCode(), diskfs_error::LIST_FULL);
    EXPECT_EQ(lastErrorMessage(), "qzFileSystem::File list is full");
    EXPECT_EQ(openDescriptorCount(), before);

    fs.closeFile(77);
    EXPECT_EQ(fs.openFile(a.c_str(), FS_READ), 77);
}

TEST_F(DiskFileSystem, DestructionClosesEveryDescriptor)
{
    std::string a = dir.write("a", "a");
    int before = openDescriptorCount();
    {
        qzFileSystem local;
        for (int i = 0; i < 10; ++i)
            local.openFile(a.c_str(), FS_READ);
        EXPECT_EQ(openDescriptorCount(), before + 10);
    }
    EXPECT_EQ(openDescriptorCount(), before);
}

TEST_F(DiskFileSystem, OpenFailuresReportErrorTwo)
{
    const char* paths[] = { "missing-file", "no/such/dir/file", "" };
    for (const char* p : paths) {
        SCOPED_TRACE(p);
        clearLastError();
        std::string full = *p ? path(p) : std::string();
        EXPECT_EQ(fs.openFile(full.c_str(), FS_READ | FS_BINARY), -1);
        EXPECT_EQ(lastErrorCode(), diskfs_error::CANT_OPEN);
        EXPECT_EQ(lastErrorMessage(), "qzFileSystem : Can't open file");
    }
    EXPECT_EQ(fs.openFile(nullptr, FS_READ), -1);
}

TEST_F(DiskFileSystem, ModeBitsChooseAccessCreationAndAppending)
{
    struct Case {
        const char* name;
        std::uint32_t mode;
        bool exists;
        const char* write;
        const char* expected; // file content afterwards; null when openFile must fail
    };
    const Case cases[] = {
        { "write-only overwrites without shortening", FS_WRITE, true, "AB", "ABcdef" },
        { "read-write overwrites without shortening", FS_READ | FS_WRITE, true, "XYZ", "XYZdef" },
        { "append adds at the end", FS_WRITE | FS_APPEND, true, "gh", "abcdefgh" },
        { "write creates a missing file", FS_WRITE | FS_BINARY, false, "new", "new" },
        { "read does not create", FS_READ, false, nullptr, nullptr },
        { "read-only refuses writes", FS_READ | FS_TEXT, true, "zz", "abcdef" },
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = "m" + std::to_string(i++);
        std::string p = c.exists ? dir.write(name, "abcdef") : path(name);
        std::int32_t h = fs.openFile(p.c_str(), c.mode);
        if (!c.expected) {
            EXPECT_EQ(h, -1);
            EXPECT_FALSE(std::filesystem::exists(p));
            continue;
        }
        ASSERT_NE(h, -1);
        std::int32_t written = fs.write(h, c.write, static_cast<std::uint32_t>(strlen(c.write)));
        if (c.mode & FS_WRITE)
            EXPECT_EQ(written, static_cast<std::int32_t>(strlen(c.write)));
        else
            EXPECT_LT(written, 0);
        fs.closeFile(h);
        EXPECT_EQ(readWholeFile(p), c.expected);
    }
}

TEST_F(DiskFileSystem, ReadWriteLengthAndPosition)
{
    std::string p = dir.write("data", "0123456789");
    std::int32_t h = fs.openFile(p.c_str(), FS_READ | FS_BINARY);
    char buf[4] = {};
    EXPECT_EQ(fs.read(h, buf, 0), 0);
    EXPECT_EQ(fs.read(h, nullptr, 4), 0);
    EXPECT_EQ(fs.read(h + 1, buf, 4), 0);
    EXPECT_EQ(fs.getPosition(h), 0u);

    EXPECT_EQ(fs.read(h, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "012");
    EXPECT_EQ(fs.fileLength(h), 10u);
    EXPECT_EQ(fs.getPosition(h), 3u); // the length does not move the position
    EXPECT_EQ(fs.skip(h, 4), 7);
    EXPECT_EQ(fs.read(h, buf, 4), 3);
    EXPECT_EQ(std::string(buf, 3), "789");
    EXPECT_EQ(fs.read(h, buf, 4), 0);
    EXPECT_EQ(fs.seek(h, 2), 2);
    EXPECT_EQ(fs.skip(h, -1), 1);
    EXPECT_EQ(readAll(fs, h), "123456789");

    EXPECT_EQ(fs.fileLength(-1), 0u);
    EXPECT_EQ(fs.getPosition(300), 0u);
    EXPECT_EQ(fs.seek(12, 0), -1);
    EXPECT_EQ(fs.write(12, "x", 1), 0);
}

TEST_F(DiskFileSystem, CreateFileKeepsExistingContentAndReportsErrorFour)
{
    std::string existing = dir.write("keep", "contents");
    fs.createFile(existing.c_str());
    EXPECT_EQ(readWholeFile(existing), "contents");

    std::string fresh = path("fresh");
    fs.createFile(fresh.c_str());
    EXPECT_TRUE(std::filesystem::exists(fresh));
    EXPECT_EQ(std::filesystem::file_size(fresh), 0u);
    EXPECT_EQ(lastErrorCode(), 0);

    fs.createFile(path("missing-dir/file").c_str());
    EXPECT_EQ(lastErrorCode(), diskfs_error::CANT_CREATE);
    EXPECT_EQ(lastErrorMessage(), "qzFileSystem: Can't create file");
}

TEST_F(DiskFileSystem, DirectoriesDeletingAndRenaming)
{
    std::string sub = path("sub");
    fs.createDirectory(sub.c_str());
    EXPECT_TRUE(std::filesystem::is_directory(sub));
    std::string a = dir.write("sub/a", "A");
    EXPECT_TRUE(fs.fileExists(a.c_str()));
    fs.renameFile(a.c_str(), path("sub/b").c_str());
    EXPECT_FALSE(fs.fileExists(a.c_str()));
    EXPECT_EQ(readWholeFile(path("sub/b")), "A");
    fs.deleteDirectory(sub.c_str()); // not empty: stays
    EXPECT_TRUE(std::filesystem::exists(sub));
    fs.deleteFile(path("sub/b").c_str());
    fs.deleteDirectory(sub.c_str());
    EXPECT_FALSE(std::filesystem::exists(sub));
}

class DiskFileSystemDirectory : public DiskFileSystem {
protected:
    void SetUp() override
    {
        DiskFileSystem::SetUp();
        saved = std::filesystem::current_path();
    }
    void TearDown() override { std::filesystem::current_path(saved); }
    std::filesystem::path saved;
};

TEST_F(DiskFileSystemDirectory, SetCurrentDirectoryMovesTheProcess)
{
    dir.write("Data/scene.txt", "scene");
    fs.setCurrentDirectory(dir.path().c_str());
    EXPECT_EQ(fs.currentDirectory(), dir.path());
    EXPECT_EQ(std::filesystem::path(fs.getCurrentDirectory()), std::filesystem::canonical(dir.path()));
    fs.setCurrentDirectory("Data");
    std::int32_t h = fs.openFile("scene.txt", FS_READ);
    ASSERT_NE(h, -1);
    EXPECT_EQ(readAll(fs, h), "scene");
}

TEST_F(DiskFileSystemDirectory, MixedCasePathsFallBackToTheUniqueMatch)
{
    dir.write("Data/Textures/Sky.JPG", "sky");
    dir.write("Data/twin.txt", "lower");
    dir.write("Data/TWIN.txt", "upper");
    fs.setCurrentDirectory(dir.path().c_str());

    struct Case {
        const char* path;
        const char* expected; // null: must not open
    };
    const Case cases[] = {
        { "Data/Textures/Sky.JPG", "sky" },   // exact
        { "data/textures/sky.jpg", "sky" },   // fallback at every level
        { "DATA\\Textures\\SKY.jpg", "sky" }, // Windows separators
        { "./Data/../data/TEXTURES/sky.JPG", "sky" },
        { "Data/twin.txt", "lower" },         // exact wins over the ambiguity
        { "Data/TWIN.txt", "upper" },
        { "Data/Twin.txt", nullptr },         // two matches: refused
        { "Data/Textures/Sky.JPG/x", nullptr },
        { "Data/missing.jpg", nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        clearLastError();
        std::int32_t h = fs.openFile(c.path, FS_READ | FS_BINARY);
        EXPECT_EQ(fs.fileExists(c.path), c.expected != nullptr);
        if (!c.expected) {
            EXPECT_EQ(h, -1);
            EXPECT_EQ(lastErrorCode(), diskfs_error::CANT_OPEN);
            continue;
        }
        ASSERT_NE(h, -1);
        EXPECT_EQ(readAll(fs, h), c.expected);
        fs.closeFile(h);
    }
}

TEST_F(DiskFileSystemDirectory, MixedCaseDirectoriesAcceptNewFiles)
{
    dir.write("Data/keep", "");
    fs.setCurrentDirectory(dir.path().c_str());
    std::int32_t h = fs.openFile("DATA/New.txt", FS_WRITE);
    ASSERT_NE(h, -1);
    fs.write(h, "path", 4);
    fs.closeFile(h);
    EXPECT_EQ(readWholeFile(dir.file("Data/New.txt")), "path");
    EXPECT_FALSE(std::filesystem::exists(dir.file("DATA")));

    fs.setCurrentDirectory("dAtA");
    EXPECT_TRUE(fs.fileExists("new.TXT"));
}
