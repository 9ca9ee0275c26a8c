#include "engine/core/FileSystems.h"

#include "engine/core/qzFileSystem.h"
#include "engine/core/qzUnzipFileSys.h"
#include "engine/core/qzZipFileSys.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Records every call that reaches it, in order.
class RecordingFileSys : public FileSys {
public:
    explicit RecordingFileSys(std::vector<std::string>& log) : log_(log) { }
    ~RecordingFileSys() override { log_.push_back("destroyed"); }

    void mount(const char* name) override
    {
        FileSys::mount(name);
        log_.push_back(std::string("mount ") + name);
    }
    void unmount() override { log_.push_back("unmount"); }
    void createDirectory(const char*) override { }
    void deleteDirectory(const char*) override { }
    const char* getCurrentDirectory() override { return ""; }
    void createFile(const char*) override { }
    bool fileExists(const char*) override { return false; }
    std::int32_t openFile(const char* path, std::uint32_t mode) override
    {
        log_.push_back(std::string("open ") + path + " " + std::to_string(mode));
        return 7;
    }
    void closeFile(std::int32_t h) override { log_.push_back("close " + std::to_string(h)); }
    std::int32_t read(std::int32_t h, void*, std::uint32_t n) override
    {
        log_.push_back("read " + std::to_string(h) + " " + std::to_string(n));
        return 3;
    }
    std::int32_t write(std::int32_t, const void*, std::uint32_t) override { return 0; }
    std::uint32_t fileLength(std::int32_t h) override
    {
        log_.push_back("length " + std::to_string(h));
        return 42;
    }
    void deleteFile(const char*) override { }
    std::uint32_t getPosition(std::int32_t) override { return 0; }
    std::int32_t seek(std::int32_t, std::int32_t) override { return 0; }
    std::int32_t skip(std::int32_t, std::int32_t) override { return 0; }
    void renameFile(const char*, const char*) override { }

private:
    std::vector<std::string>& log_;
};

using Log = std::vector<std::string>;

class Registry : public ::testing::Test {
protected:
    void SetUp() override { shutdownFileSystems(); }
    void TearDown() override { shutdownFileSystems(); }
    // Outlive the registered recorders, which the registry deletes in TearDown.
    Log a, b, old;
};

}

TEST_F(Registry, StartUpRegistersDiskUnzipAndZipWithTheDiskCurrent)
{
    initFileSystems();
    EXPECT_EQ(fileSystemCount(), 3);
    EXPECT_NE(dynamic_cast<qzFileSystem*>(fileSystemAt(FS_SLOT_DISK)), nullptr);
    EXPECT_NE(dynamic_cast<qzUnzipFileSys*>(fileSystemAt(FS_SLOT_UNZIP)), nullptr);
    EXPECT_NE(dynamic_cast<qzZipFileSys*>(fileSystemAt(FS_SLOT_ZIP)), nullptr);
    EXPECT_EQ(fileSystemAt(3), nullptr);
    EXPECT_EQ(currentFileSystem(), fileSystemAt(FS_SLOT_DISK));
    EXPECT_EQ(workingDirectory(), std::filesystem::current_path().string());
    EXPECT_EQ(currentFileSystem()->currentDirectory(), workingDirectory());

    shutdownFileSystems();
    EXPECT_EQ(fileSystemCount(), 0);
    EXPECT_EQ(currentFileSystem(), nullptr);
    EXPECT_EQ(fileSystemAt(0), nullptr);
}

TEST_F(Registry, RegistrationStopsAtTenAndTheCallerKeepsTheRefused)
{
    Log& log = a;
    for (int i = 0; i < FILE_SYSTEM_SLOTS; ++i)
        EXPECT_EQ(registerFileSystem(new RecordingFileSys(log)), i);
    RecordingFileSys eleventh(log);
    EXPECT_EQ(registerFileSystem(&eleventh), 10);
    EXPECT_EQ(registerFileSystem(nullptr), 10);
    EXPECT_EQ(fileSystemCount(), 10);

    shutdownFileSystems();
    EXPECT_EQ(std::count(log.begin(), log.end(), "destroyed"), 10);
}

TEST_F(Registry, SelectionUnmountsTheCurrentAndMountsTheNew)
{
    registerFileSystem(new RecordingFileSys(a));
    registerFileSystem(new RecordingFileSys(b));

    selectFileSystem(0, "first");
    selectFileSystem(0, "again");  // same slot: unmounted and mounted again
    selectFileSystem(12, "none");  // out of range: nothing at all
    selectFileSystem(-1, "none");
    selectFileSystem(1, "second");
    EXPECT_EQ(a, (Log { "mount first", "unmount", "mount again", "unmount" }));
    EXPECT_EQ(b, (Log { "mount second" }));
    EXPECT_EQ(currentFileSystem()->mountName(), "second");

    selectFileSystem(5, "empty"); // empty slot: nothing current afterwards
    EXPECT_EQ(b.back(), "unmount");
    EXPECT_EQ(currentFileSystem(), nullptr);
}

TEST_F(Registry, ForwardingReachesTheCurrentFileSystemOnly)
{
    registerFileSystem(new RecordingFileSys(a));
    char buffer[8];

    // Nothing current yet.
    EXPECT_EQ(openFile("x", 9), -1);
    EXPECT_EQ(readFile(0, buffer, 8), 0);
    EXPECT_EQ(fileLength(0), 0u);
    closeFile(0);
    setDirectory("somewhere");
    EXPECT_TRUE(a.empty());

    selectFileSystem(0, "");
    a.clear();
    EXPECT_EQ(openFile("x", 9), 7);
    EXPECT_EQ(readFile(7, buffer, 8), 3);
    EXPECT_EQ(fileLength(7), 42u);
    closeFile(7);
    EXPECT_EQ(a, (Log { "open x 9", "read 7 8", "length 7", "close 7" }));
    setDirectory("Data");
    EXPECT_EQ(currentFileSystem()->currentDirectory(), "Data");
}

class RegistryDirectory : public Registry {
protected:
    void SetUp() override
    {
        Registry::SetUp();
        saved = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override
    {
        Registry::TearDown();
        std::filesystem::current_path(saved);
    }
    std::filesystem::path saved;
    ScratchDir dir;
};

TEST_F(RegistryDirectory, DataDirectoryResolvesRelativePathsAndWorkingComesBack)
{
    dir.write("Data/Syncro.txt", "sync");
    dir.write("top.txt", "top");
    initFileSystems();
    setDirectory("Data");
    std::int32_t h = openFile("Syncro.txt", FS_READ | FS_BINARY);
    ASSERT_NE(h, -1);
    char buffer[8] = {};
    EXPECT_EQ(readFile(h, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer), "sync");
    closeFile(h);
    EXPECT_EQ(openFile("top.txt", FS_READ), -1);

    setDirectoryToWorking();
    h = openFile("top.txt", FS_READ);
    EXPECT_NE(h, -1);
    closeFile(h);
}

TEST_F(Registry, StartUpAgainDeletesWhatWasRegistered)
{
    registerFileSystem(new RecordingFileSys(old));
    selectFileSystem(0, "old");
    initFileSystems();
    EXPECT_EQ(old.back(), "destroyed");
    EXPECT_EQ(fileSystemCount(), 3);
    EXPECT_NE(dynamic_cast<qzFileSystem*>(currentFileSystem()), nullptr);
}
