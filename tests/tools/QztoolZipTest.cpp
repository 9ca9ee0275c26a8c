#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipArchives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string QZTOOL = VELVET_BUILD_DIR "/qztool";

ChildResult qztool(const std::vector<std::string>& args, const std::string& cwd = {})
{
    std::vector<std::string> argv { QZTOOL };
    argv.insert(argv.end(), args.begin(), args.end());
    ChildOptions options;
    options.workingDirectory = cwd;
    return runChild(argv, options);
}

// A failure is one line on standard error naming the file, and nothing on standard output.
void expectFailure(const ChildResult& r, int status, const std::string& named)
{
    EXPECT_EQ(r.exitStatus, status);
    EXPECT_TRUE(r.out.empty()) << r.out;
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
}

class QztoolZip : public ::testing::Test {
protected:
    void SetUp() override
    {
        archive = dir.file("made.zip");
        ASSERT_TRUE(makeZip(ZipMaker::InfoZipDeflated, dir.path(), archive, members));
    }

    ScratchDir dir;
    std::string archive;
    const std::vector<ZipMember> members = {
        { "Data/Syncro.txt", "0 100\n" },
        { "pixels.raw", sampleBytes(123457, 5) },
        { "empty", "" },
    };
};

}

TEST_F(QztoolZip, ListPrintsMemberNamesInArchiveOrder)
{
    ChildResult r = qztool({ "zip", "list", archive });
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "Data/Syncro.txt\npixels.raw\nempty\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(QztoolZip, CatPrintsExactBytesWhateverTheCaseOfTheName)
{
    for (const ZipMember& m : members) {
        SCOPED_TRACE(m.name);
        ChildResult r = qztool({ "zip", "cat", archive, m.name });
        EXPECT_EQ(r.exitStatus, 0);
        EXPECT_EQ(r.out, m.bytes);
    }
    EXPECT_EQ(qztool({ "zip", "cat", archive, "DATA/syncro.TXT" }).out, "0 100\n");
}

TEST_F(QztoolZip, CreateWritesAnArchiveThatUnzipAccepts)
{
    dir.write("in/one.txt", "one");
    dir.write("in/sub/two.bin", sampleBytes(40000, 6));
    dir.write("in/zero", "");
    ChildResult r = qztool({ "zip", "create", "out.zip", "sub/two.bin", "one.txt", "zero" }, dir.file("in"));
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");

    std::string out = dir.file("in/out.zip");
    EXPECT_EQ(runCommand("unzip -tq " + shellQuote(out) + " >/dev/null"), 0);
    EXPECT_EQ(unzipListing(out), (std::vector<std::string> { "sub/two.bin", "one.txt", "zero" }));
    EXPECT_EQ(captureCommand("unzip -p " + shellQuote(out) + " sub/two.bin"), sampleBytes(40000, 6));
    // And it reads back through the tool itself.
    EXPECT_EQ(qztool({ "zip", "cat", out, "one.txt" }).out, "one");
}

TEST_F(QztoolZip, FailuresNameTheFileAndWriteNothingElse)
{
    dir.write("input", "data");
    std::string notZip = dir.write("not.zip", "plain text");
    std::string damaged = readWholeFile(archive);
    std::size_t at = damaged.find("PK\x01\x02"); // break the central directory
    damaged[at + 1] = 'X';
    std::string broken = dir.write("broken.zip", damaged);

    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const Case cases[] = {
        { { "zip", "list", dir.file("missing.zip") }, "missing.zip" },
        { { "zip", "list", notZip }, "not.zip" },
        { { "zip", "list", broken }, "broken.zip" },
        { { "zip", "cat", archive, "no-such-member" }, "no-such-member" },
        { { "zip", "cat", dir.file("missing.zip"), "x" }, "missing.zip" },
        { { "zip", "create", dir.file("new.zip"), dir.file("input"), dir.file("absent") }, "absent" },
        { { "zip", "create", dir.file("no/dir/new.zip"), dir.file("input") }, "new.zip" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.named);
        expectFailure(qztool(c.args), 1, c.named);
    }
    // No partial archive is left behind.
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.zip")));
}

TEST_F(QztoolZip, DamagedMemberPrintsNothing)
{
    std::string stored = dir.file("stored.zip");
    std::string content = sampleBytes(3000, 8);
    ASSERT_TRUE(makeZip(ZipMaker::InfoZipStored, dir.file("s"), stored, { { "m", content } }));
    std::string bytes = readWholeFile(stored);
    bytes[bytes.find(content.substr(0, 32)) + 2999] ^= 1; // the very last byte
    dir.write("stored.zip", bytes);
    expectFailure(qztool({ "zip", "cat", stored, "m" }), 1, "stored.zip");
}

TEST(QztoolZipUsage, WrongArgumentsExitTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        { "zip" },
        { "zip", "list" },
        { "zip", "list", "a.zip", "extra" },
        { "zip", "cat", "a.zip" },
        { "zip", "create", "a.zip" },
        { "zip", "explode", "a.zip" },
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.size());
        ChildResult r = qztool(args);
        EXPECT_EQ(r.exitStatus, 2);
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_FALSE(std::filesystem::exists("a.zip"));
}
