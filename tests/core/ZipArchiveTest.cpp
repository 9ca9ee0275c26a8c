// The zip reader and writer file systems against Info-ZIP and python zipfile, the error
// record each failure leaves, and hostile archives refused.
#include "engine/core/qzUnzipFileSys.h"
#include "engine/core/qzZipFileSys.h"

#include "engine/core/Error.h"
#include "engine/core/ErrorCodes.h"
#include "engine/core/FileSystems.h"
#include "engine/math/FileBuffer.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipArchives.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Each call returns its failure value (true) and leaves exactly its code and text.
template <typename Fs>
using FeatureCase = std::tuple<std::int32_t, const char*, std::function<bool(Fs&)>>;

template <typename Fs>
void expectFeatureErrors(Fs& fs, const std::vector<FeatureCase<Fs>>& cases)
{
    for (const auto& [code, text, call] : cases) {
        clearLastError();
        EXPECT_TRUE(call(fs)) << text;
        EXPECT_EQ(lastErrorCode(), code) << text;
        EXPECT_EQ(lastErrorMessage(), text);
    }
}

const std::vector<ZipMember>& sampleMembers()
{
    static const std::vector<ZipMember> members = {
        { "Syncro.txt", "0 1200\n1 5400\n" },
        { "empty.bin", "" },
        { "Data/Models/Robot.qzg", sampleBytes(300000, 1) },
        { "one.byte", "x" },
        { std::string(255, 'n'), sampleBytes(70000, 2) }, // the longest name a member keeps
    };
    return members;
}

std::string readMember(qzUnzipFileSys& fs, std::uint32_t chunk)
{
    std::string out;
    std::vector<char> buffer(chunk);
    for (std::int32_t n; (n = fs.read(0, buffer.data(), chunk)) > 0;)
        out.append(buffer.data(), static_cast<std::size_t>(n));
    return out;
}

class ZipArchive : public ::testing::Test {
protected:
    void SetUp() override { clearLastError(); }
    void TearDown() override { shutdownFileSystems(); }

    // The bytes of an archive of one member "m" made by maker.
    std::string oneMember(const std::string& bytes, ZipMaker maker)
    {
        std::string path = dir.file("one.zip");
        std::filesystem::remove(path);
        EXPECT_TRUE(makeZip(maker, dir.path() + "/h", path, { { "m", bytes } }));
        return readWholeFile(path);
    }

    ScratchDir dir;
    qzUnzipFileSys fs;
};

}

// Read in small pieces, from the file and from its bytes in memory.
TEST_F(ZipArchive, EveryMemberOfEveryToolsArchiveReadsBackByteExactly)
{
    for (ZipMaker maker : { ZipMaker::InfoZipDeflated, ZipMaker::InfoZipStored, ZipMaker::InfoZipZip64,
             ZipMaker::PythonDeflated, ZipMaker::PythonStored })
    for (bool fromMemory : { false, true }) {
        SCOPED_TRACE(std::string(zipMakerName(maker)) + (fromMemory ? " in memory" : ""));
        const std::string path = dir.file(std::string("a") + char('0' + int(maker)) + ".zip");
        ASSERT_TRUE(fromMemory || makeZip(maker, dir.path(), path, sampleMembers()));
        const std::string bytes = readWholeFile(path);
        if (fromMemory)
            fs.mountMemory(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        else
            fs.mount(path.c_str());
        std::vector<std::string> names;
        ASSERT_TRUE(fs.listMembers(names));
        ASSERT_EQ(names.size(), sampleMembers().size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const ZipMember& m = sampleMembers()[i];
            EXPECT_EQ(names[i], m.name);
            ASSERT_EQ(fs.openFile(m.name.c_str(), FS_READ), 0) << m.name;
            EXPECT_EQ(fs.fileLength(0), m.bytes.size());
            EXPECT_EQ(readMember(fs, 4093), m.bytes) << m.name;
            EXPECT_EQ(fs.getPosition(0), m.bytes.size());
            fs.closeFile(0);
        }
        EXPECT_EQ(lastErrorCode(), 0);
        fs.unmount(); // before the bytes go
    }
}

// Without -X, zip puts its timestamp and owner fields before the Zip64 sizes.
TEST_F(ZipArchive, Zip64SizesAreFoundAfterOtherExtraFields)
{
    const std::string content = sampleBytes(5000, 5), archive = dir.file("big.zip");
    dir.write("src/m", content);
    ASSERT_EQ(runCommand("cd " + shellQuote(dir.file("src")) + " && zip -q -fz " + shellQuote(archive) + " m"), 0);
    fs.mount(archive.c_str());
    ASSERT_EQ(fs.openFile("m", FS_READ), 0);
    EXPECT_EQ(readMember(fs, 4093), content);
}

TEST_F(ZipArchive, ReaderCallsWithoutArchiveMemberOrFeatureReportTheirCodeAndChangeNothing)
{
    using namespace unzipfs_error;
    const char* noZip = "qzUnzipFileSys : no Zip file opened";
    const std::string notZip = dir.write("not.zip", "PK\x03\x04 this is not an archive");
    const std::string archive = dir.file("sample.zip");
    ASSERT_TRUE(makeZip(ZipMaker::InfoZipDeflated, dir.path(), archive, sampleMembers()));
    char buffer[4] = {};
    std::vector<std::string> names;
    qzUnzipFileSys none;
    expectFeatureErrors<qzUnzipFileSys>(none, {
        { NOT_OPENED, noZip, [](auto& f) { return f.openFile("a", 1) == -1; } },
        { NOT_OPENED, noZip, [&](auto& f) { return !f.listMembers(names); } },
        { CANT_OPEN, "qzUnzipFileSys : Can't open file", [&](auto& f) { f.mount(notZip.c_str()); return !f.isMounted(); } },
        { CANT_OPEN, "qzUnzipFileSys : Can't open file", [&](auto& f) {
              f.mountMemory(reinterpret_cast<const std::uint8_t*>(notZip.data()), notZip.size()); return !f.isMounted(); } },
    });
    fs.mount(archive.c_str());
    expectFeatureErrors<qzUnzipFileSys>(fs, {
        { NOT_OPENED, "qzUnzipFileSys : no file opened", [&](auto& f) { return f.read(0, buffer, 4) == 0; } },
        // Names are whole paths, in any case.
        { NOT_EXISTS, "qzUnzipFileSys : File don't exists", [](auto& f) { return f.openFile("Robot.qzg", 0) == -1; } },
    });
    ASSERT_EQ(fs.openFile("syncro.TXT", FS_READ), 0);
    EXPECT_EQ(fs.read(0, buffer, 2), 2);
    expectFeatureErrors<qzUnzipFileSys>(fs, { // and one of each kind of unsupported call
        { ONLY_ONE_OPEN, "qzUnzipFileSys : Only one opened file is allowed",
            [](auto& f) { return f.openFile("empty.bin", 0) == -1; } },
        { NO_EXIST_WHILE_OPEN, "qzUnzipFileSys : No FileExist feature when a file is opened",
            [](auto& f) { return !f.fileExists("empty.bin"); } },
        { 4, "qzUnzipFileSys : No write in file feature", [&](auto& f) { return f.write(0, buffer, 4) < 0; } },
        { 6, "qzUnzipFileSys : No rename file feature", [](auto& f) { f.renameFile("Syncro.txt", "b"); return true; } },
    });
    EXPECT_EQ(fs.read(0, buffer, 1), 1); // neither moved nor closed
    EXPECT_EQ(buffer[0], '1') << "the third byte of \"0 1200\"";
    clearLastError();
    fs.unmount(); // closes the open member first
    EXPECT_FALSE(fs.isMounted() || fs.isMemberOpen());
    EXPECT_EQ(lastErrorCode(), 0);
}

// Noise is stored as it is even when deflated, where it can be damaged without upsetting
// the inflater: only the checksum can tell, on the last byte a whole-file reader asks for.
TEST_F(ZipArchive, DamagedDataFailsTheChecksumAndTheReaderStaysUsable)
{
    std::string content;
    for (std::uint32_t seed = 1; content.size() < 5000; seed = seed * 1103515245u + 12345u)
        content += char(seed >> 24);
    for (ZipMaker maker : { ZipMaker::InfoZipStored, ZipMaker::InfoZipZip64 }) {
        SCOPED_TRACE(zipMakerName(maker));
        std::string zip = oneMember(content, maker);
        std::size_t at = zip.find(content.substr(0, 64));
        ASSERT_NE(at, std::string::npos);
        zip[at + 4000] ^= 0x20;
        clearLastError();
        initFileSystems();
        selectFileSystem(FS_SLOT_UNZIP, dir.write("damaged.zip", zip).c_str());
        FileBuffer buffer;
        EXPECT_FALSE(buffer.load("m"));
        EXPECT_EQ(lastErrorCode(), unzipfs_error::DAMAGED);
        EXPECT_EQ(lastErrorMessage(), "qzUnzipFileSys : Damaged file data");
        EXPECT_TRUE(currentFileSystem()->fileExists("m")) << "the member is closed, the reader usable";
    }
}

// Sizes no archive of this length can hold are refused before a reader allocates them.
TEST_F(ZipArchive, ImpossibleSizesUnknownMethodsAndEncryptionAreRefusedAtOpen)
{
    auto put32 = [](std::string& s, std::size_t at, std::uint32_t v) { std::memcpy(&s[at], &v, 4); };
    const std::string stored = oneMember(sampleBytes(1000, 3), ZipMaker::InfoZipStored);
    const std::string deflated = oneMember(std::string(20000, 'a'), ZipMaker::InfoZipDeflated);
    using Patch = std::function<void(std::string&, std::size_t central)>;
    const std::tuple<const char*, const std::string*, Patch> cases[] = {
        { "stored, size lie", &stored, [&](std::string& s, std::size_t c) { put32(s, c + 24, 0xfffffff0u); } },
        // Both sizes agree, and the local header leaves them to the central one as Zip64
        // writers do, but the archive is far too small for them.
        { "stored, both sizes lie", &stored, [&](std::string& s, std::size_t c) {
              put32(s, c + 20, 0xf0000000u); put32(s, c + 24, 0xf0000000u);
              put32(s, 18, 0xffffffffu); put32(s, 22, 0xffffffffu); } },
        { "deflated, 2 GiB", &deflated, [&](std::string& s, std::size_t c) { put32(s, c + 24, 0x80000000u); } },
        { "method 12", &stored, [](std::string& s, std::size_t c) { s[c + 10] = 12; s[8] = 12; } },
        { "encrypted", &stored, [](std::string& s, std::size_t c) { s[c + 8] |= 1; s[6] |= 1; } },
    };
    for (const auto& [name, zip, patch] : cases) {
        SCOPED_TRACE(name);
        std::string patched = *zip;
        patch(patched, patched.find("PK\x01\x02"));
        qzUnzipFileSys local;
        local.mount(dir.write("patched.zip", patched).c_str());
        expectFeatureErrors<qzUnzipFileSys>(local, { { unzipfs_error::CANT_OPEN, "qzUnzipFileSys : Cant open file",
            [](auto& f) { return f.openFile("m", FS_READ) == -1 && !f.isMemberOpen(); } } });
    }
}

// An existing file replaced, members stored in order whatever the pieces they come in,
// the archive completed by destruction with a member open.
TEST_F(ZipArchive, WrittenArchivePassesUnzipAndUnsupportedCallsReportTheirCode)
{
    using namespace zipfs_error;
    char buffer[4];
    std::string out = dir.write("out.zip", std::string(5000, 'x'));
    auto writing = std::make_unique<qzZipFileSys>();
    qzZipFileSys& writer = *writing;
    expectFeatureErrors<qzZipFileSys>(writer, {
        { NOT_OPENED, "qzZipFileSys : no Zip file opened", [](auto& f) { return f.openFile("a", 0) == -1; } },
        { CANT_OPEN, "qzZipFileSys : Can't open file",
            [&](auto& f) { f.mount(dir.file("no/such/dir/out.zip").c_str()); return !f.isMounted(); } },
        { NOT_OPENED, "qzZipFileSys : no file opened", [&](auto& f) { f.mount(out.c_str()); return f.write(0, "a", 1) == 0; } },
    });
    std::vector<ZipMember> members = {
        { "Data/Camera/Scene4.txt", "1 2 3\n" }, { "zero", "" }, { "big.bin", sampleBytes(200000, 4) },
    };
    for (const ZipMember& m : members) {
        ASSERT_EQ(writer.openFile(m.name.c_str(), FS_WRITE), 0);
        for (std::size_t at = 0; at < m.bytes.size(); at += 7777) {
            std::uint32_t n = std::uint32_t(std::min<std::size_t>(7777, m.bytes.size() - at));
            EXPECT_EQ(writer.write(0, m.bytes.data() + at, n), std::int32_t(n));
        }
        writer.closeFile(0);
    }
    ASSERT_EQ(writer.openFile("m", 0), 0);
    EXPECT_EQ(writer.write(0, "12", 2), 2);
    expectFeatureErrors<qzZipFileSys>(writer, {
        { ONLY_ONE_OPEN, "qzZipFileSys : Only one opened file is allowed",
            [](auto& f) { return f.openFile("second", 0) == -1; } },
        { 9, "qzZipFileSys : No read in file feature", [&](auto& f) { return f.read(0, buffer, 4) <= 0; } },
    });
    EXPECT_EQ(writer.write(0, "34", 2), 2); // the open member still receives
    members.push_back({ "m", "1234" });
    clearLastError();
    writing.reset();
    EXPECT_EQ(lastErrorCode(), 0);
    EXPECT_TRUE(unzipAccepts(out));
    std::vector<std::string> names;
    std::uintmax_t storedSize = 22; // end record; per member local 30 + central 46 + 2 names
    for (const ZipMember& m : members) {
        names.push_back(m.name);
        storedSize += 30 + 46 + 2 * m.name.size() + m.bytes.size();
        EXPECT_EQ(unzipPrint(out, m.name), m.bytes) << m.name;
    }
    EXPECT_EQ(unzipListing(out), names);
    EXPECT_EQ(std::filesystem::file_size(out), storedSize);
}
