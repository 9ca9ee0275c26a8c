// Captures what the show prints to its console during a block of test code.
#pragma once

#include "engine/core/Console.h"

#include <gtest/gtest.h>

#include <string>

class ConsoleCapture {
public:
    // The console prints nothing until it is open; its banner goes out before capture.
    ConsoleCapture() { openConsole(), testing::internal::CaptureStdout(); }
    ~ConsoleCapture()
    {
        if (!taken_)
            testing::internal::GetCapturedStdout();
    }
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Ends the capture and returns everything printed since construction.
    std::string text() { return taken_ = true, testing::internal::GetCapturedStdout(); }

private:
    bool taken_ = false;
};
