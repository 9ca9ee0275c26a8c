// Common ground for the show's logic tests: a scratch working directory (the show reads
// and writes its text files relative to it) and the virtual clock, moved by hand.
#pragma once

#include "platform/TimeSource.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

class ShowFixture : public testing::Test {
public:
    // One path record: time, then six values already times 10000, one per line.
    static std::string record(std::initializer_list<long> fields)
    {
        std::string text;
        for (long f : fields)
            text += std::to_string(f) + "\n";
        return text;
    }

protected:
    void SetUp() override { std::filesystem::current_path(scratch.path()), platform::useVirtualClock(0); }
    void TearDown() override { platform::useRealClock(), std::filesystem::current_path(previous_); }
    static void advanceMs(std::int64_t ms) { platform::advanceVirtualClockBy(ms * 1000000); }

    ScratchDir scratch;

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
};
