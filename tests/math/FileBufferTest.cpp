#include "engine/math/FileBuffer.h"

#include "engine/core/FileSystems.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

void fill(FileBuffer& buffer, const std::string& bytes)
{
    ASSERT_TRUE(buffer.loadFromMemory(bytes.data(), std::uint32_t(bytes.size())));
}

std::string bytesOf(const FileBuffer& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.data()), buffer.size());
}

TEST(FileBufferRead, TypedValuesAreLittleEndianAndUnaligned)
{
    float half = 0.5f;
    std::string bytes("\x01\x00\x78\x56\x34\x12\xff\xff\xff\xff", 10);
    bytes.append(reinterpret_cast<const char*>(&half), 4);
    FileBuffer buffer;
    fill(buffer, bytes);
    EXPECT_TRUE(buffer.readBool());
    EXPECT_FALSE(buffer.readBool());
    EXPECT_EQ(buffer.readInt(), 0x12345678);
    EXPECT_EQ(buffer.readInt(), -1);
    EXPECT_EQ(buffer.readFloat(), 0.5f);
    EXPECT_EQ(buffer.tell(), buffer.size());
    EXPECT_FALSE(buffer.overrun());
}

TEST(FileBufferRead, EveryReadPastTheEndGivesZeroAndSetsStickyOverrun)
{
    struct Case {
        std::uint32_t left;
        int (*read)(FileBuffer&);
    };
    const Case cases[] = {
        {0, [](FileBuffer& b) { return int(b.readBool()); }},
        {3, [](FileBuffer& b) { return int(b.readInt()); }},
        {2, [](FileBuffer& b) { return int(b.readFloat() != 0.0f); }},
        {4, [](FileBuffer& b) {
             char out[5] = {9, 9, 9, 9, 9};
             b.readBytes(out, 5);
             return int(out[0] | out[1] | out[2] | out[3] | out[4]);
         }},
        {4, [](FileBuffer& b) { return int(std::strlen(b.readString())); }},   // no terminator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        FileBuffer buffer;
        fill(buffer, std::string(8 - c.left, 'x') + std::string(c.left, '\x7f'));
        buffer.seek(8 - c.left);
        EXPECT_EQ(c.read(buffer), 0);
        EXPECT_TRUE(buffer.overrun());
        EXPECT_EQ(buffer.tell(), buffer.size());
        buffer.seek(0);
        EXPECT_EQ(buffer.readChar(), 'x');
        EXPECT_TRUE(buffer.overrun());
    }
}

TEST(FileBufferString, StringsShareOneBufferCutAt1023WithTheCursorInStep)
{
    std::string bytes = "first" + std::string(1, '\0') + std::string(3000, 'a') + '\0' + "next" + '\0';
    FileBuffer buffer;
    fill(buffer, bytes);
    const char* first = buffer.readString();
    EXPECT_STREQ(first, "first");
    EXPECT_EQ(std::string(buffer.readString()), std::string(1023, 'a'));
    EXPECT_EQ(buffer.tell(), 3007u);
    EXPECT_EQ(buffer.readString(), first);
    EXPECT_STREQ(first, "next");
    EXPECT_FALSE(buffer.overrun());
}

TEST(FileBufferCursor, SeekAndSkipStayInsideTheData)
{
    struct Case {
        void (*move)(FileBuffer&);
        std::uint32_t tell;
        bool overrun;
    };
    const Case cases[] = {
        {[](FileBuffer& b) { b.seek(10); }, 10, false},
        {[](FileBuffer& b) { b.seek(3); b.seek(11); }, 0, true},
        {[](FileBuffer& b) { b.seek(8); b.skip(-5); }, 3, false},
        {[](FileBuffer& b) { b.seek(4); b.skip(6); }, 10, false},   // a file's last field skipped
        {[](FileBuffer& b) { b.seek(2); b.skip(-3); }, 0, true},
        {[](FileBuffer& b) { b.skip(0x7fffffff); }, 10, true},
    };
    for (const Case& c : cases) {
        FileBuffer buffer;
        fill(buffer, "0123456789");
        c.move(buffer);
        EXPECT_EQ(buffer.tell(), c.tell);
        EXPECT_EQ(buffer.overrun(), c.overrun);
    }
}

TEST(FileBufferWrite, WritesFillTheBlockGrowItAndAllocateStartsOver)
{
    FileBuffer buffer;
    fill(buffer, "abc");
    buffer.readInt();
    ASSERT_TRUE(buffer.overrun());
    ASSERT_NE(buffer.allocate(3), nullptr);
    EXPECT_FALSE(buffer.overrun());
    EXPECT_EQ(buffer.tell(), 0u);
    EXPECT_TRUE(buffer.writeByte('a'));
    EXPECT_TRUE(buffer.writeBytes("bc", 2));
    EXPECT_EQ(buffer.size(), 3u);
    std::string big(5000, 'z');
    EXPECT_TRUE(buffer.writeBytes(big.data(), 5000));
    EXPECT_TRUE(buffer.writeBytes(big.data(), 0));
    buffer.seek(1);
    EXPECT_TRUE(buffer.writeByte('B'));
    EXPECT_EQ(bytesOf(buffer), "aBc" + big);
}

class FileBufferLoad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(disk.ok()); }
    ScratchDir dir;
    MountedDisk disk;
};

TEST_F(FileBufferLoad, ReadsTheWholeFileAndAFailedLoadKeepsThePreviousOne)
{
    std::string content("\x00\x01\x02zip\0\xff", 8);
    FileBuffer buffer;
    ASSERT_TRUE(buffer.load(dir.write("empty", "").c_str()));
    EXPECT_NE(buffer.data(), nullptr);
    EXPECT_EQ(buffer.size(), 0u);
    ASSERT_TRUE(buffer.load(dir.write("a.bin", content).c_str()));
    EXPECT_EQ(bytesOf(buffer), content);
    buffer.readInt();
    EXPECT_FALSE(buffer.load(dir.file("missing").c_str()));
    EXPECT_EQ(bytesOf(buffer), content);
    EXPECT_EQ(buffer.tell(), 4u);
    selectFileSystem(5, "");   // none current
    FileBuffer unloaded;
    EXPECT_FALSE(unloaded.load(dir.write("a", "abc").c_str()));
    EXPECT_EQ(unloaded.data(), nullptr);
}

} // namespace
