#include "engine/core/qzUnzipFileSys.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"
#include "engine/core/FileSystems.h"
#include "engine/math/FileBuffer.h"
#include "tests/core/FeatureErrors.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipArchives.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::vector<ZipMember>& sampleMembers()
{
    static const std::vector<ZipMember> members = {
        { "Syncro.txt", "0 1200\n1 5400\n" },
        { "empty.bin", "" },
        { "Data/Models/Robot.qzg", sampleBytes(300000, 1) },
        { "one.byte", "x" },
        { "noise.raw", sampleBytes(70000, 2) },
    };
    return members;
}

std::string readMember(qzUnzipFileSys& fs, std::uint32_t chunk)
{
    std::string out;
    std::vector<char> buffer(chunk);
    std::int32_t n;
    while ((n = fs.read(0, buffer.data(), chunk)) > 0)
        out.append(buffer.data(), static_cast<std::size_t>(n));
    EXPECT_EQ(n, 0);
    return out;
}

class UnzipFileSys : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearLastError();
        archive = dir.file("sample.zip");
        ASSERT_TRUE(makeZip(ZipMaker::InfoZipDeflated, dir.path(), archive, sampleMembers()));
    }

    ScratchDir dir;
    std::string archive;
    qzUnzipFileSys fs;
};

}

// Archives made by other tools read back byte for byte, through the registry exactly
// as the engine's loaders read them, and in small pieces through the file system.
TEST(UnzipThirdPartyArchives, EveryMemberReadsBackByteExactly)
{
    for (ZipMaker maker : { ZipMaker::InfoZipDeflated, ZipMaker::InfoZipStored, ZipMaker::InfoZipZip64,
             ZipMaker::PythonDeflated, ZipMaker::PythonStored }) {
        SCOPED_TRACE(zipMakerName(maker));
        clearLastError();
        ScratchDir dir;
        std::string archive = dir.file("a.zip");
        ASSERT_TRUE(makeZip(maker, dir.path(), archive, sampleMembers()));

        initFileSystems();
        selectFileSystem(FS_SLOT_UNZIP, archive.c_str());
        auto* unzip = dynamic_cast<qzUnzipFileSys*>(currentFileSystem());
        ASSERT_NE(unzip, nullptr);
        ASSERT_TRUE(unzip->isMounted());

        std::vector<std::string> names;
        ASSERT_TRUE(unzip->listMembers(names));
        ASSERT_EQ(names.size(), sampleMembers().size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const ZipMember& m = sampleMembers()[i];
            SCOPED_TRACE(m.name);
            EXPECT_EQ(names[i], m.name);

            FileBuffer whole;
            ASSERT_TRUE(whole.load(m.name.c_str()));
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(whole.data()), whole.size()), m.bytes);

            ASSERT_EQ(unzip->openFile(m.name.c_str(), FS_READ), 0);
            EXPECT_EQ(unzip->fileLength(0), m.bytes.size());
            EXPECT_EQ(readMember(*unzip, 4093), m.bytes);
            EXPECT_EQ(unzip->getPosition(0), m.bytes.size());
            unzip->closeFile(0);
        }
        EXPECT_EQ(lastErrorCode(), 0);
        shutdownFileSystems();
    }
}

TEST_F(UnzipFileSys, MemberNamesMatchRegardlessOfCase)
{
    fs.mount(archive.c_str());
    for (const char* name : { "syncro.TXT", "DATA/models/robot.QZG", "Data/Models/Robot.qzg" }) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs.fileExists(name));
        ASSERT_EQ(fs.openFile(name, FS_READ), 0);
        fs.closeFile(0);
    }
    EXPECT_FALSE(fs.fileExists("Robot.qzg")); // names are whole paths
    EXPECT_EQ(fs.openFile("Data\\Models\\Robot.qzg", FS_READ), -1);
    expectError(unzipfs_error::NOT_EXISTS, "qzUnzipFileSys : File don't exists");
}

TEST_F(UnzipFileSys, OneMemberAtATime)
{
    fs.mount(archive.c_str());
    ASSERT_EQ(fs.openFile("Syncro.txt", FS_READ), 0);
    char first[2];
    EXPECT_EQ(fs.read(0, first, 2), 2);

    EXPECT_EQ(fs.openFile("noise.raw", FS_READ), -1);
    expectError(unzipfs_error::ONLY_ONE_OPEN, "qzUnzipFileSys : Only one opened file is allowed");
    EXPECT_FALSE(fs.fileExists("noise.raw"));
    expectError(unzipfs_error::NO_EXIST_WHILE_OPEN, "qzUnzipFileSys : No FileExist feature when a file is opened");
    std::vector<std::string> names;
    EXPECT_FALSE(fs.listMembers(names));

    // The first member is still open, still in place.
    EXPECT_EQ(std::string(first, 2) + readMember(fs, 5), "0 1200\n1 5400\n");
    char more[4];
    EXPECT_EQ(fs.read(0, more, sizeof more), 0); // after the end
    fs.closeFile(0);

    EXPECT_TRUE(fs.fileExists("noise.raw"));
    EXPECT_TRUE(fs.listMembers(names));
}

TEST_F(UnzipFileSys, UnmountClosesTheOpenMember)
{
    fs.mount(archive.c_str());
    ASSERT_EQ(fs.openFile("noise.raw", FS_READ), 0);
    char buffer[100];
    fs.read(0, buffer, sizeof buffer);
    clearLastError();
    fs.unmount();
    EXPECT_FALSE(fs.isMounted());
    EXPECT_FALSE(fs.isMemberOpen());
    EXPECT_EQ(lastErrorCode(), 0);

    // Mounting again starts clean.
    fs.mount(archive.c_str());
    ASSERT_EQ(fs.openFile("noise.raw", FS_READ), 0);
    EXPECT_EQ(readMember(fs, 65536), sampleMembers()[4].bytes);
}

TEST_F(UnzipFileSys, WithoutArchiveOrMemberEverythingReportsErrorSeven)
{
    const char* noZip = "qzUnzipFileSys : no Zip file opened";
    const char* noFile = "qzUnzipFileSys : no file opened";
    char buffer[4];
    struct Case {
        const char* name;
        bool mounted;
        std::function<bool(qzUnzipFileSys&)> call; // true when the failure value came back
        const char* text;
    };
    const Case cases[] = {
        { "open", false, [](qzUnzipFileSys& f) { return f.openFile("a", 1) == -1; }, noZip },
        { "exists", false, [](qzUnzipFileSys& f) { return !f.fileExists("a"); }, noZip },
        { "close", false, [](qzUnzipFileSys& f) { f.closeFile(0); return true; }, noZip },
        { "read", false, [&](qzUnzipFileSys& f) { return f.read(0, buffer, 4) == 0; }, noZip },
        { "length", false, [](qzUnzipFileSys& f) { return f.fileLength(0) == 0; }, noZip },
        { "position", false, [](qzUnzipFileSys& f) { return f.getPosition(0) == 0; }, noZip },
        { "read, no member", true, [&](qzUnzipFileSys& f) { return f.read(0, buffer, 4) == 0; }, noFile },
        { "length, no member", true, [](qzUnzipFileSys& f) { return f.fileLength(0) == 0; }, noFile },
        { "position, no member", true, [](qzUnzipFileSys& f) { return f.getPosition(0) == 0; }, noFile },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qzUnzipFileSys local;
        if (c.mounted)
            local.mount(archive.c_str());
        clearLastError();
        EXPECT_TRUE(c.call(local));
        expectError(unzipfs_error::NOT_OPENED, c.text);
    }
}

TEST_F(UnzipFileSys, MissingFeaturesReportTheirCodeAndChangeNothing)
{
    fs.mount(archive.c_str());
    ASSERT_EQ(fs.openFile("Syncro.txt", FS_READ), 0);
    char buffer[4] = {};
    expectFeatureErrors<qzUnzipFileSys>(fs, {
        { 3, "qzUnzipFileSys : No create file feature", [](auto& f) { f.createFile("new"); return true; } },
        { 4, "qzUnzipFileSys : No write in file feature", [&](auto& f) { return f.write(0, buffer, 4) < 0; } },
        { 5, "qzUnzipFileSys : No delete file feature", [](auto& f) { f.deleteFile("Syncro.txt"); return true; } },
        { 6, "qzUnzipFileSys : No rename file feature", [](auto& f) { f.renameFile("Syncro.txt", "b"); return true; } },
        { 11, "qzUnzipFileSys : No set file position feature", [](auto& f) { return f.seek(0, 0) == -1; } },
        { 11, "qzUnzipFileSys : No set file position feature", [](auto& f) { return f.skip(0, 1) == -1; } },
        { 13, "qzUnzipFileSys : No create directory feature", [](auto& f) { f.createDirectory("d"); return true; } },
        { 14, "qzUnzipFileSys : No delete directory feature", [](auto& f) { f.deleteDirectory("Data"); return true; } },
        { 15, "qzUnzipFileSys : No get current directory feature",
            [](auto& f) { return std::strcmp(f.getCurrentDirectory(), "") == 0; } },
    });
    // The member was neither moved nor closed.
    EXPECT_EQ(readMember(fs, 3), "0 1200\n1 5400\n");
    fs.closeFile(0);
    EXPECT_EQ(unzipListing(archive).size(), sampleMembers().size());

    fs.setCurrentDirectory("Data");
    EXPECT_EQ(fs.currentDirectory(), "Data");
    EXPECT_FALSE(fs.fileExists("Models/Robot.qzg")); // names are taken as given
}

TEST_F(UnzipFileSys, ArchivesThatCannotBeOpenedReportErrorOne)
{
    std::string notZip = dir.write("not.zip", "PK\x03\x04 this is not an archive");
    for (const std::string& name : { dir.file("missing.zip"), notZip, std::string() }) {
        SCOPED_TRACE(name);
        clearLastError();
        fs.mount(name.c_str());
        EXPECT_FALSE(fs.isMounted());
        expectError(unzipfs_error::CANT_OPEN, "qzUnzipFileSys : Can't open file");
    }
    // Mounting a good archive over a bad attempt works.
    fs.mount(archive.c_str());
    EXPECT_TRUE(fs.isMounted());
}

// Hostile archives: every one must be refused cleanly, never delivered as data.
class UnzipHostileArchive : public UnzipFileSys {
protected:
    // An archive of one member "m" with the given bytes, by Info-ZIP.
    std::string storedArchive(const std::string& bytes, ZipMaker maker = ZipMaker::InfoZipStored)
    {
        std::string path = dir.file("hostile.zip");
        std::filesystem::remove(path);
        EXPECT_TRUE(makeZip(maker, dir.path() + "/h", path, { { "m", bytes } }));
        return readWholeFile(path);
    }
    std::string save(const std::string& bytes) { return dir.write("patched.zip", bytes); }
};

TEST_F(UnzipHostileArchive, DamagedDataFailsTheChecksumOnTheLastByte)
{
    // Noise does not compress, so deflate stores it as it is, where it can be damaged
    // without upsetting the inflater: only the checksum can tell.
    std::string content;
    for (std::uint32_t seed = 1; content.size() < 5000; seed = seed * 1103515245u + 12345u)
        content += char(seed >> 24);
    for (ZipMaker maker : { ZipMaker::InfoZipStored, ZipMaker::InfoZipZip64 }) {
        SCOPED_TRACE(zipMakerName(maker));
        std::string zip = storedArchive(content, maker);
        std::size_t at = zip.find(content.substr(0, 64));
        ASSERT_NE(at, std::string::npos);
        zip[at + 4000] ^= 0x20;

        clearLastError();
        initFileSystems();
        selectFileSystem(FS_SLOT_UNZIP, save(zip).c_str());
        FileBuffer buffer;
        EXPECT_FALSE(buffer.load("m"));
        EXPECT_EQ(lastErrorCode(), unzipfs_error::DAMAGED);
        EXPECT_EQ(lastErrorMessage(), "qzUnzipFileSys : Damaged file data");
        // The file system stays usable.
        auto* unzip = dynamic_cast<qzUnzipFileSys*>(currentFileSystem());
        EXPECT_FALSE(unzip->isMemberOpen());
        EXPECT_TRUE(unzip->fileExists("m"));
        shutdownFileSystems();
    }
}

TEST_F(UnzipHostileArchive, ImpossibleSizesAndEncryptionAreRefusedAtOpen)
{
    std::string content = sampleBytes(1000, 3);
    std::string zip = storedArchive(content);
    std::size_t central = zip.find("PK\x01\x02");
    ASSERT_NE(central, std::string::npos);
    auto put32 = [](std::string& s, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s[at + i] = static_cast<char>(v >> (8 * i));
    };
    struct Case {
        const char* name;
        std::function<void(std::string&)> patch;
    };
    const Case cases[] = {
        // Stored data whose recorded size is larger than the data: a reader would
        // allocate 4 GiB and wait for bytes that never come.
        { "stored, size lie", [&](std::string& s) { put32(s, central + 24, 0xfffffff0u); } },
        // Both sizes agree (and the local header leaves them to the central one, as Zip64
        // writers do), but the archive is far too small to hold that much data.
        { "stored, both sizes lie", [&](std::string& s) {
              put32(s, central + 20, 0xf0000000u); put32(s, central + 24, 0xf0000000u);
              put32(s, 18, 0xffffffffu); put32(s, 22, 0xffffffffu); } },
        { "unknown method", [&](std::string& s) { s[central + 10] = 12; s[8] = 12; } },
        { "encrypted flag", [&](std::string& s) { s[central + 8] |= 1; s[6] |= 1; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string patched = zip;
        c.patch(patched);
        qzUnzipFileSys local;
        local.mount(save(patched).c_str());
        ASSERT_TRUE(local.isMounted());
        clearLastError();
        EXPECT_EQ(local.openFile("m", FS_READ), -1);
        expectError(unzipfs_error::CANT_OPEN, "qzUnzipFileSys : Cant open file");
        EXPECT_FALSE(local.isMemberOpen());
    }
}

TEST_F(UnzipHostileArchive, DeflatedMemberWithImpossibleRatioIsRefused)
{
    std::string path = dir.file("deflated.zip");
    ASSERT_TRUE(makeZip(ZipMaker::InfoZipDeflated, dir.path() + "/d", path, { { "m", std::string(20000, 'a') } }));
    std::string zip = readWholeFile(path);
    std::size_t central = zip.find("PK\x01\x02");
    ASSERT_NE(central, std::string::npos);
    // Claim 2 GiB of output from a few dozen bytes.
    zip[central + 24] = 0;
    zip[central + 25] = 0;
    zip[central + 26] = 0;
    zip[central + 27] = static_cast<char>(0x80);
    qzUnzipFileSys local;
    local.mount(save(zip).c_str());
    EXPECT_EQ(local.openFile("m", FS_READ), -1);
    expectError(unzipfs_error::CANT_OPEN, "qzUnzipFileSys : Cant open file");
}
