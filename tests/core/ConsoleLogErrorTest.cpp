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
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, std::string(BANNER) + "scene : 3\n");
    EXPECT_TRUE(consoleIsOpen());
}

TEST(Log, TruncateStartsEmptyAndAppendKeepsWhatWasThere)
{
    ScratchDir dir;
    std::string path = dir.write("test.log", "old line\n");
    {
        Log log(path.c_str(), false, false);
        ASSERT_TRUE(log.isOpen());
        log.print("appended %d", 1);
    }
    EXPECT_EQ(readWholeFile(path), "old line\nappended 1\n");
    {
        Log log(path.c_str(), true, false);
        log.print("fresh");
    }
    EXPECT_EQ(readWholeFile(path), "fresh\n");
}

TEST(Log, FlushEachMessageMakesTheLineVisibleBeforeClose)
{
    ScratchDir dir;
    std::string path = dir.file("flush.log");
    Log flushing(path.c_str(), true, true);
    flushing.print("now %s", "visible");
    EXPECT_EQ(readWholeFile(path), "now visible\n");
    flushing.close();
    EXPECT_FALSE(flushing.isOpen());
}

TEST(Log, EchoesToStandardStreamsEvenWithoutAFile)
{
    Log log(nullptr, true, true);
    EXPECT_FALSE(log.isOpen());
    log.setEchoStdout(true);
    log.setEchoStderr(true);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    log.print("value=%d", 42);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "value=42\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "value=42\n");
}

TEST(Log, UnopenableFileStaysUsableAndSilent)
{
    Log log("/nonexistent-dir/x/y.log", true, true);
    EXPECT_FALSE(log.isOpen());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    log.print("dropped");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ReportError, WithNoFlagsOnlyTheLastErrorChanges)
{
    ScratchDir dir;
    std::string path = dir.file("errors.log");
    errorLog.open(path.c_str(), true, true);
    errorFlags = 0;
    testing::internal::CaptureStderr();
    reportError(3, "qzFileSystem::File list is full", 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(lastErrorCode(), 3);
    EXPECT_EQ(lastErrorMessage(), "qzFileSystem::File list is full");
    EXPECT_EQ(lastErrorDetail(), 1);
    EXPECT_EQ(readWholeFile(path), "");
    reportError(7, "second", 5);
    EXPECT_EQ(lastErrorCode(), 7);
    EXPECT_EQ(lastErrorMessage(), "second");
    EXPECT_EQ(lastErrorDetail(), 5);
    errorLog.close();
}

TEST(ReportError, FlagBitsSelectLogAndMessageBox)
{
    ScratchDir dir;
    std::string path = dir.file("errors.log");
    errorLog.open(path.c_str(), true, true);
    errorFlags = ERROR_TO_LOG | ERROR_TO_MESSAGE_BOX;
    testing::internal::CaptureStderr();
    reportError(2, "qzFileSystem : Can't open file", 1);
    std::string err = testing::internal::GetCapturedStderr();
    // Headless, the message box falls back to standard error under its caption.
    EXPECT_NE(err.find("[duZER] ERROR [2] qzFileSystem : Can't open file"), std::string::npos) << err;
    EXPECT_EQ(readWholeFile(path), "ERROR [2] qzFileSystem : Can't open file\n");
    errorFlags = 0;
    errorLog.close();
}

TEST(ReportError, OverlongMessageBoxTextIsCutNotOverrun)
{
    errorFlags = ERROR_TO_MESSAGE_BOX;
    std::string huge(10000, 'x');
    testing::internal::CaptureStderr();
    reportError(1, huge, 1);
    std::string err = testing::internal::GetCapturedStderr();
    errorFlags = 0;
    EXPECT_EQ(lastErrorMessage().size(), huge.size());
    EXPECT_LT(err.size(), 4200u);
    EXPECT_NE(err.find("ERROR [1] xxx"), std::string::npos);
}

}
