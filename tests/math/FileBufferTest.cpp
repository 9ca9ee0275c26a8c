#include "engine/math/FileBuffer.h"

#include "engine/core/FileSystems.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

std::unique_ptr<FileBuffer> fromString(const std::string& bytes)
{
    auto buffer = std::make_unique<FileBuffer>();
    EXPECT_TRUE(buffer->loadFromMemory(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    return buffer;
}

std::string bytesOf(const FileBuffer& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size());
}

}

TEST(FileBufferRead, TypedValuesAreLittleEndianAndUnaligned)
{
    float half = 0.5f;
    std::string bytes("\x01\x00\x78\x56\x34\x12\xff\xff\xff\xff", 10);
    bytes.append(reinterpret_cast<const char*>(&half), 4);
    auto owned = fromString(bytes);
    FileBuffer& buffer = *owned;

    EXPECT_TRUE(buffer.readBool());
    EXPECT_FALSE(buffer.readBool());
    EXPECT_EQ(buffer.readInt(), 0x12345678); // at offset 2: unaligned
    EXPECT_EQ(buffer.readInt(), -1);
    EXPECT_EQ(buffer.readFloat(), 0.5f);
    EXPECT_EQ(buffer.tell(), buffer.size());
    EXPECT_FALSE(buffer.overrun());
}

TEST(FileBufferRead, EveryReadPastTheEndGivesZeroAndSetsStickyOverrun)
{
    struct Case {
        const char* name;
        std::uint32_t left;
        int (*read)(FileBuffer&);
    };
    const Case cases[] = {
        { "char at end", 0, [](FileBuffer& b) { return int(b.readChar()); } },
        { "bool at end", 0, [](FileBuffer& b) { return int(b.readBool()); } },
        { "int with 3 left", 3, [](FileBuffer& b) { return int(b.readInt()); } },
        { "float with 2 left", 2, [](FileBuffer& b) { return int(b.readFloat() != 0.0f); } },
        { "bytes with 4 left", 4, [](FileBuffer& b) {
              char out[5] = { 9, 9, 9, 9, 9 };
              b.readBytes(out, 5);
              return int(out[0] | out[1] | out[2] | out[3] | out[4]);
          } },
        { "string without terminator", 4, [](FileBuffer& b) { return int(std::strlen(b.readString())); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = fromString(std::string(8 - c.left, 'x') + std::string(c.left, '\x7f'));
    FileBuffer& buffer = *owned;
        buffer.seek(8 - c.left);
        EXPECT_EQ(c.read(buffer), 0);
        EXPECT_TRUE(buffer.overrun());
        EXPECT_EQ(buffer.tell(), buffer.size());
        // Still set after a valid read elsewhere.
        buffer.seek(0);
        EXPECT_EQ(buffer.readChar(), 'x');
        EXPECT_TRUE(buffer.overrun());
    }
}

TEST(FileBufferRead, EmptyBufferReadsNothing)
{
    FileBuffer unloaded;
    EXPECT_EQ(unloaded.readInt(), 0);
    EXPECT_STREQ(unloaded.readString(), "");
    EXPECT_TRUE(unloaded.overrun());
    EXPECT_EQ(unloaded.tell(), 0u);
}

TEST(FileBufferString, ConsecutiveStringsShareTheTextBuffer)
{
    auto owned = fromString(std::string("first\0second\0\0", 14));
    FileBuffer& buffer = *owned;
    const char* a = buffer.readString();
    EXPECT_STREQ(a, "first");
    const char* b = buffer.readString();
    EXPECT_EQ(a, b);
    EXPECT_STREQ(a, "second");
    EXPECT_STREQ(buffer.readString(), "");
    EXPECT_EQ(buffer.tell(), 14u);
    EXPECT_FALSE(buffer.overrun());
}

TEST(FileBufferString, LongStringIsCutAt1023AndTheCursorStaysInStep)
{
    std::string bytes(3000, 'a');
    bytes += '\0';
    bytes += "next";
    bytes += '\0';
    auto owned = fromString(bytes);
    FileBuffer& buffer = *owned;
    EXPECT_EQ(std::string(buffer.readString()), std::string(1023, 'a'));
    EXPECT_EQ(buffer.tell(), 3001u);
    EXPECT_STREQ(buffer.readString(), "next");
    EXPECT_FALSE(buffer.overrun());
}

TEST(FileBufferCursor, SeekAndSkipStayInsideTheData)
{
    struct Case {
        const char* name;
        void (*move)(FileBuffer&);
        std::uint32_t expectedTell;
        bool expectedOverrun;
    };
    const Case cases[] = {
        { "seek to size is the end", [](FileBuffer& b) { b.seek(10); }, 10, false },
        { "seek beyond size rewinds", [](FileBuffer& b) { b.seek(3); b.seek(11); }, 0, true },
        { "skip forward", [](FileBuffer& b) { b.skip(4); b.skip(2); }, 6, false },
        { "skip back", [](FileBuffer& b) { b.seek(8); b.skip(-5); }, 3, false },
        { "skip before the start", [](FileBuffer& b) { b.seek(2); b.skip(-3); }, 0, true },
        { "skip past the end", [](FileBuffer& b) { b.skip(0x7fffffff); }, 10, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = fromString("0123456789");
    FileBuffer& buffer = *owned;
        c.move(buffer);
        EXPECT_EQ(buffer.tell(), c.expectedTell);
        EXPECT_EQ(buffer.overrun(), c.expectedOverrun);
    }
}

TEST(FileBufferWrite, WritesFillTheBlockAndGrowItPastTheEnd)
{
    FileBuffer buffer;
    ASSERT_NE(buffer.allocate(3), nullptr);
    EXPECT_EQ(buffer.size(), 3u);
    EXPECT_TRUE(buffer.writeByte('a'));
    EXPECT_TRUE(buffer.writeBytes("bc", 2));
    EXPECT_EQ(buffer.size(), 3u);
    std::string big(5000, 'z');
    EXPECT_TRUE(buffer.writeBytes(big.data(), 5000));
    EXPECT_EQ(buffer.size(), 5003u);
    EXPECT_EQ(bytesOf(buffer), "abc" + big);

    // Overwriting in the middle does not change the size.
    buffer.seek(1);
    EXPECT_TRUE(buffer.writeByte('B'));
    EXPECT_EQ(buffer.size(), 5003u);
    buffer.seek(0);
    EXPECT_EQ(buffer.readChar(), 'a');
    EXPECT_EQ(buffer.readChar(), 'B');
}

TEST(FileBufferWrite, AllocateReplacesTheBlockAndClearsOverrun)
{
    auto owned = fromString("abc");
    FileBuffer& buffer = *owned;
    buffer.readInt();
    ASSERT_TRUE(buffer.overrun());
    ASSERT_NE(buffer.allocate(0), nullptr);
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(buffer.tell(), 0u);
    EXPECT_FALSE(buffer.overrun());
}

class FileBufferLoad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(disk.ok()); }

    ScratchDir dir;
    MountedDisk disk;
};

TEST_F(FileBufferLoad, ReadsTheWholeFileThroughTheCurrentFileSystem)
{
    std::string content("\x00\x01\x02zip\0\xff", 8);
    std::string path = dir.write("a.bin", content);
    FileBuffer buffer;
    ASSERT_TRUE(buffer.load(path.c_str()));
    EXPECT_EQ(bytesOf(buffer), content);
    EXPECT_EQ(buffer.tell(), 0u);
}

TEST_F(FileBufferLoad, EmptyFileGivesABlockWithTheCursorAtItsStart)
{
    std::string path = dir.write("empty", "");
    FileBuffer buffer;
    ASSERT_TRUE(buffer.load(path.c_str()));
    EXPECT_NE(buffer.data(), nullptr);
    EXPECT_EQ(buffer.size(), 0u);
    EXPECT_EQ(buffer.tell(), 0u);
}

TEST_F(FileBufferLoad, SecondLoadReplacesTheFirstAndFailedLoadKeepsIt)
{
    std::string first = dir.write("first", "one");
    std::string second = dir.write("second", "second file");
    FileBuffer buffer;
    ASSERT_TRUE(buffer.load(first.c_str()));
    ASSERT_TRUE(buffer.load(second.c_str()));
    EXPECT_EQ(bytesOf(buffer), "second file");

    buffer.readInt();
    EXPECT_FALSE(buffer.load(dir.file("missing").c_str()));
    EXPECT_EQ(bytesOf(buffer), "second file");
    EXPECT_EQ(buffer.tell(), 4u);
}

TEST_F(FileBufferLoad, FailsWithoutACurrentFileSystem)
{
    std::string path = dir.write("a", "abc");
    selectFileSystem(5, "");
    FileBuffer buffer;
    EXPECT_FALSE(buffer.load(path.c_str()));
    EXPECT_EQ(buffer.data(), nullptr);
}
