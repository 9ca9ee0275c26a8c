#include "engine/core/Console.h"
#include "engine/core/Error.h"
#include "engine/core/Log.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

const char* const BANNER = "===                          ===\n"
                           "=== duZER - EXTERNAL CONSOLE ===\n"
                           "===--------------------------===\n\n";

TEST(Console, PrintsNothingBeforeOpenThenBannerExactlyOnce)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(consolePrintf("early %d\n", 1), 0);
    EXPECT_FALSE(consoleIsOpen());
    openConsole();
    openConsole();
    EXPECT_EQ(consolePrintf("scene : %d\n", 3), 10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(BANNER) + "scene : 3\n");
}

TEST(Log, AppendsTruncatesFlushesEachLineAndEchoesEvenWithoutAFile)
{
    ScratchDir dir;
    std::string path = dir.write("test.log", "old line\n");
    {
        Log log(path.c_str(), false, false);
        ASSERT_TRUE(log.isOpen());
        log.print("appended %d", 1);
    }
    EXPECT_EQ(readWholeFile(path), "old line\nappended 1\n");
    Log log(path.c_str(), true, true);
    log.print("now %s", "visible");
    EXPECT_EQ(readWholeFile(path), "now visible\n");
    log.close();
    EXPECT_FALSE(log.isOpen());

    // Without a file a log still echoes; one that cannot be opened stays silent.
    Log echoing(nullptr, true, true);
    echoing.setEchoStdout(true);
    echoing.setEchoStderr(true);
    Log unopenable("/nonexistent-dir/x/y.log", true, true);
    EXPECT_FALSE(echoing.isOpen() || unopenable.isOpen());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    echoing.print("value=%d", 42);
    unopenable.print("dropped");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "value=42\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "value=42\n");
}

// Headless, the message box falls back to standard error under its caption, cut to its
// buffer rather than overrun.
TEST(ReportError, FlagBitsSelectLogAndMessageBoxAndTheLastErrorAlwaysChanges)
{
    ScratchDir dir;
    std::string path = dir.file("errors.log");
    errorLog.open(path.c_str(), true, true);
    errorFlags = 0;
    testing::internal::CaptureStderr();
    reportError(3, "qzFileSystem::File list is full", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr() + readWholeFile(path), "");
    EXPECT_EQ(lastErrorCode(), 3);

    errorFlags = ERROR_TO_LOG | ERROR_TO_MESSAGE_BOX;
    testing::internal::CaptureStderr();
    reportError(2, "qzFileSystem : Can't open file", 5);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("[duZER] ERROR [2] qzFileSystem : Can't open file"), std::string::npos) << err;
    EXPECT_EQ(readWholeFile(path), "ERROR [2] qzFileSystem : Can't open file\n");
    EXPECT_EQ(lastErrorDetail(), 5);
    errorLog.close();

    std::string huge(10000, 'x');
    testing::internal::CaptureStderr();
    reportError(1, huge, 1);
    err = testing::internal::GetCapturedStderr();
    errorFlags = 0;
    EXPECT_EQ(lastErrorMessage(), huge);
    EXPECT_LT(err.size(), 4200u);
    EXPECT_NE(err.find("ERROR [1] xxx"), std::string::npos);
}

}
