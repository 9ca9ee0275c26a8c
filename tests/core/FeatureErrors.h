// Checking the error record the archive file systems leave: one call that must fail,
// and tables of calls a file system does not support, each with its code and text.
#pragma once

#include "engine/core/Error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

// The last error is exactly this code and text.
inline void expectError(std::int32_t code, const char* text)
{
    EXPECT_EQ(lastErrorCode(), code);
    EXPECT_EQ(lastErrorMessage(), text);
}

template <typename Fs>
struct FeatureCase {
    std::int32_t code;
    const char* text;
    std::function<bool(Fs&)> call; // true when the failure value came back
};

// Runs each case on fs from a clear error record.
template <typename Fs>
void expectFeatureErrors(Fs& fs, const std::vector<FeatureCase<Fs>>& cases)
{
    for (const FeatureCase<Fs>& c : cases) {
        SCOPED_TRACE(c.text);
        clearLastError();
        EXPECT_TRUE(c.call(fs));
        expectError(c.code, c.text);
    }
}
