#include "engine/core/FileSystems.h"

#include "engine/core/qzFileSystem.h"
#include "engine/core/qzUnzipFileSys.h"
#include "engine/core/qzZipFileSys.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipArchives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override { shutdownFileSystems(); }
    void TearDown() override
    {
        shutdownFileSystems();
        std::filesystem::current_path(saved);
    }
    std::filesystem::path saved = std::filesystem::current_path();
    ScratchDir dir;
};

}

TEST_F(Registry, StartUpRegistersDiskUnzipAndZipWithTheDiskCurrentAndAgainDeletesTheOld)
{
    initFileSystems();
    initFileSystems(); // the first three are deleted (the sanitizer build sees a leak)
    EXPECT_EQ(fileSystemCount(), 3);
    EXPECT_NE(dynamic_cast<qzFileSystem*>(fileSystemAt(FS_SLOT_DISK)), nullptr); // the others: below
    EXPECT_EQ(fileSystemAt(3), nullptr);
    EXPECT_EQ(currentFileSystem(), fileSystemAt(FS_SLOT_DISK));
    EXPECT_EQ(workingDirectory(), std::filesystem::current_path().string());
    EXPECT_EQ(currentFileSystem()->currentDirectory(), workingDirectory());
    shutdownFileSystems();
    EXPECT_EQ(fileSystemCount(), 0);
    EXPECT_EQ(currentFileSystem(), nullptr);
    EXPECT_EQ(fileSystemAt(0), nullptr);
}

// The registry deletes what it took at shutdown; the refused one stays the caller's.
TEST_F(Registry, RegistrationStopsAtTenAndTheCallerKeepsTheRefused)
{
    for (int i = 0; i < FILE_SYSTEM_SLOTS; ++i)
        EXPECT_EQ(registerFileSystem(new qzFileSystem), i);
    qzFileSystem eleventh;
    EXPECT_EQ(registerFileSystem(&eleventh), 10);
    EXPECT_EQ(registerFileSystem(nullptr), 10);
    EXPECT_EQ(fileSystemCount(), 10);
}

TEST_F(Registry, SelectionUnmountsTheCurrentMountsTheNewAndForwardsCallsToIt)
{
    const std::string archive = dir.file("a.zip");
    ASSERT_TRUE(makeZip(ZipMaker::InfoZipStored, dir.path(), archive, { { "m", "zip" } }));
    dir.write("Data/Syncro.txt", "sync");
    std::filesystem::current_path(dir.path());
    initFileSystems();
    auto* unzip = dynamic_cast<qzUnzipFileSys*>(fileSystemAt(FS_SLOT_UNZIP));
    auto* zip = dynamic_cast<qzZipFileSys*>(fileSystemAt(FS_SLOT_ZIP));
    ASSERT_TRUE(unzip && zip);
    char buffer[8] = {};
    setDirectory("Data");
    std::int32_t h = openFile("Syncro.txt", FS_READ | FS_BINARY);
    ASSERT_NE(h, -1);
    EXPECT_EQ(fileLength(h), 4u);
    EXPECT_EQ(readFile(h, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer), "sync");
    closeFile(h);
    EXPECT_EQ(readFile(h, buffer, sizeof buffer), 0);
    setDirectoryToWorking();
    EXPECT_NE(openFile("a.zip", FS_READ), -1);

    selectFileSystem(FS_SLOT_UNZIP, "a.zip");
    selectFileSystem(12, "none"); // out of range: nothing at all
    selectFileSystem(-1, "none");
    ASSERT_EQ(currentFileSystem(), unzip);
    EXPECT_EQ(unzip->mountName(), "a.zip");
    ASSERT_EQ(openFile("M", FS_READ), 0);
    EXPECT_EQ(readFile(0, buffer, sizeof buffer), 3);
    selectFileSystem(FS_SLOT_ZIP, "out.zip");
    EXPECT_FALSE(unzip->isMounted());
    EXPECT_TRUE(zip->isMounted());
    selectFileSystem(5, "empty"); // empty slot: nothing current afterwards
    EXPECT_FALSE(zip->isMounted());
    EXPECT_EQ(currentFileSystem(), nullptr);
    EXPECT_EQ(openFile("a.zip", 0), -1);
    EXPECT_EQ(readFile(0, buffer, 8), 0);
    EXPECT_EQ(fileLength(0), 0u);
    closeFile(0);
}
