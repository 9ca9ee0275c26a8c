#include "engine/core/qzZipFileSys.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"
#include "engine/core/FileSystems.h"
#include "engine/core/qzUnzipFileSys.h"
#include "tests/core/FeatureErrors.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipArchives.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void addMember(FileSys& fs, const ZipMember& m, std::size_t piece)
{
    ASSERT_EQ(fs.openFile(m.name.c_str(), FS_WRITE), 0);
    for (std::size_t at = 0; at < m.bytes.size(); at += piece) {
        std::uint32_t n = static_cast<std::uint32_t>(std::min(piece, m.bytes.size() - at));
        EXPECT_EQ(fs.write(0, m.bytes.data() + at, n), static_cast<std::int32_t>(n));
    }
    fs.closeFile(0);
}

class ZipFileSys : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearLastError();
        archive = dir.file("out.zip");
    }

    ScratchDir dir;
    std::string archive;
};

const std::vector<ZipMember> members = {
    { "Data/Camera/Scene4.txt", "1 2 3\n" },
    { "zero", "" },
    { "big.bin", sampleBytes(200000, 4) },
    { "Z-last", "last" },
};

}

TEST_F(ZipFileSys, ArchivePassesUnzipTestAndListsMembersInOrder)
{
    initFileSystems();
    selectFileSystem(FS_SLOT_ZIP, archive.c_str());
    for (const ZipMember& m : members)
        addMember(*currentFileSystem(), m, 7777);
    selectFileSystem(FS_SLOT_DISK, ""); // unmounting completes the archive
    EXPECT_EQ(lastErrorCode(), 0);

    EXPECT_EQ(runCommand("unzip -tq " + shellQuote(archive) + " >/dev/null"), 0);
    std::vector<std::string> expectedNames;
    for (const ZipMember& m : members) {
        expectedNames.push_back(m.name);
        EXPECT_EQ(captureCommand("unzip -p " + shellQuote(archive) + " " + shellQuote(m.name)), m.bytes);
    }
    EXPECT_EQ(unzipListing(archive), expectedNames);

    // Members are stored: local header 30 + name, central entry 46 + name, end record 22.
    std::uintmax_t expectedSize = 22;
    for (const ZipMember& m : members)
        expectedSize += 30 + 46 + 2 * m.name.size() + m.bytes.size();
    EXPECT_EQ(std::filesystem::file_size(archive), expectedSize);

    // And the engine's own reader agrees.
    selectFileSystem(FS_SLOT_UNZIP, archive.c_str());
    std::vector<std::string> names;
    ASSERT_TRUE(dynamic_cast<qzUnzipFileSys*>(currentFileSystem())->listMembers(names));
    EXPECT_EQ(names, expectedNames);
    shutdownFileSystems();
}

TEST_F(ZipFileSys, MountingReplacesAnExistingFileWithAnEmptyArchive)
{
    dir.write("out.zip", std::string(5000, 'x'));
    {
        qzZipFileSys fs;
        fs.mount(archive.c_str());
        EXPECT_TRUE(fs.isMounted());
        fs.unmount();
    }
    // Just the end-of-central-directory record.
    EXPECT_EQ(std::filesystem::file_size(archive), 22u);
    EXPECT_EQ(readWholeFile(archive).substr(0, 4), "PK\x05\x06");
}

TEST_F(ZipFileSys, SecondOpenIsRefusedAndTheFirstMemberKeepsReceiving)
{
    qzZipFileSys fs;
    fs.mount(archive.c_str());
    ASSERT_EQ(fs.openFile("first", 0), 0);
    EXPECT_EQ(fs.write(0, "abc", 3), 3);
    EXPECT_EQ(fs.openFile("second", 0), -1);
    expectError(zipfs_error::ONLY_ONE_OPEN, "qzZipFileSys : Only one opened file is allowed");
    EXPECT_EQ(fs.write(0, "def", 3), 3);
    // Unmounting with the member open closes it, then the archive.
    fs.unmount();
    EXPECT_FALSE(fs.isMounted());
    EXPECT_EQ(runCommand("unzip -tq " + shellQuote(archive) + " >/dev/null"), 0);
    EXPECT_EQ(unzipListing(archive), std::vector<std::string> { "first" });
    EXPECT_EQ(captureCommand("unzip -p " + shellQuote(archive) + " first"), "abcdef");
}

TEST_F(ZipFileSys, DestructionCompletesAMountedArchive)
{
    {
        qzZipFileSys fs;
        fs.mount(archive.c_str());
        ASSERT_EQ(fs.openFile("kept", 0), 0);
        fs.write(0, "kept", 4);
    }
    EXPECT_EQ(runCommand("unzip -tq " + shellQuote(archive) + " >/dev/null"), 0);
    EXPECT_EQ(captureCommand("unzip -p " + shellQuote(archive) + " kept"), "kept");
}

TEST_F(ZipFileSys, WithoutArchiveOrMemberReportsErrorSevenAndCantCreateErrorOne)
{
    qzZipFileSys fs;
    EXPECT_EQ(fs.openFile("a", 0), -1);
    expectError(zipfs_error::NOT_OPENED, "qzZipFileSys : no Zip file opened");
    EXPECT_EQ(fs.write(0, "a", 1), 0);
    expectError(zipfs_error::NOT_OPENED, "qzZipFileSys : no Zip file opened");
    clearLastError();
    fs.closeFile(0);
    expectError(zipfs_error::NOT_OPENED, "qzZipFileSys : no Zip file opened");

    fs.mount(archive.c_str());
    EXPECT_EQ(fs.write(0, "a", 1), 0);
    expectError(zipfs_error::NOT_OPENED, "qzZipFileSys : no file opened");
    fs.unmount();

    fs.mount(dir.file("no/such/dir/out.zip").c_str());
    EXPECT_FALSE(fs.isMounted());
    expectError(zipfs_error::CANT_OPEN, "qzZipFileSys : Can't open file");
}

TEST_F(ZipFileSys, MissingFeaturesReportTheirCodeAndChangeNothing)
{
    qzZipFileSys fs;
    fs.mount(archive.c_str());
    ASSERT_EQ(fs.openFile("m", 0), 0);
    fs.write(0, "12", 2);
    char buffer[4];
    expectFeatureErrors<qzZipFileSys>(fs, {
        { 3, "qzZipFileSys : No create directory feature", [](auto& f) { f.createDirectory("d"); return true; } },
        { 4, "qzZipFileSys : No delete directory feature", [](auto& f) { f.deleteDirectory("d"); return true; } },
        { 5, "qzZipFileSys : No create file feature", [](auto& f) { f.createFile("c"); return true; } },
        { 6, "qzZipFileSys : No FileExist feature", [](auto& f) { return !f.fileExists("m"); } },
        { 9, "qzZipFileSys : No read in file feature", [&](auto& f) { return f.read(0, buffer, 4) <= 0; } },
        { 10, "qzZipFileSys : No file length feature", [](auto& f) { return f.fileLength(0) == 0; } },
        { 11, "qzZipFileSys : No delete file feature", [](auto& f) { f.deleteFile("m"); return true; } },
        { 12, "qzZipFileSys : No get file position feature", [](auto& f) { return f.getPosition(0) == 0; } },
        { 13, "qzZipFileSys : No set file position feature", [](auto& f) { return f.seek(0, 0) == -1; } },
        { 13, "qzZipFileSys : No set file position feature", [](auto& f) { return f.skip(0, -1) == -1; } },
        { 14, "qzZipFileSys : No rename file feature", [](auto& f) { f.renameFile("m", "n"); return true; } },
        { 15, "qzZipFileSys : No get current directory feature",
            [](auto& f) { return std::strcmp(f.getCurrentDirectory(), "") == 0; } },
    });
    EXPECT_EQ(fs.write(0, "34", 2), 2);
    fs.unmount();
    EXPECT_EQ(captureCommand("unzip -p " + shellQuote(archive) + " m"), "1234");
}
