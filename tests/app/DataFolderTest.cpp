#include "app/DataFolder.h"

#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(DataFolderTest, LooksInWorkingDirectoryThenBesideExecutableThenInstalled)
{
    ScratchDir work, exe, installed;
    std::filesystem::create_directory(installed.file("Data"));
    std::vector<std::string> places = dataFolderCandidates(work.path(), exe.path(), installed.file("Data"));
    ASSERT_EQ(places.size(), 3u);

    DataFolderSearch none = findDataFolderAmong({work.file("Data"), exe.file("Data")});
    EXPECT_TRUE(none.found.empty());
    EXPECT_EQ(none.tried.size(), 2u);
    std::string text = describeMissingDataFolder(none);
    EXPECT_NE(text.find(work.file("Data")), std::string::npos);
    EXPECT_NE(text.find(exe.file("Data")), std::string::npos);

    EXPECT_EQ(findDataFolderAmong(places).found, installed.file("Data"));
    std::filesystem::create_directory(exe.file("Data"));
    EXPECT_EQ(findDataFolderAmong(places).found, exe.file("Data"));
    // A plain file named Data is not a folder.
    work.write("Data", "not a folder");
    EXPECT_EQ(findDataFolderAmong(places).found, exe.file("Data"));
    std::filesystem::remove(work.file("Data"));
    std::filesystem::create_directory(work.file("Data"));
    DataFolderSearch first = findDataFolderAmong(places);
    EXPECT_EQ(first.found, work.file("Data"));
    EXPECT_EQ(first.tried.size(), 1u) << "stops at the first folder found";
}

}
