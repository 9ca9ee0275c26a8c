#include "platform/GLWindow.h"

#include <gtest/gtest.h>

#include <chrono>

// Paced swaps never come faster than the display refreshes, whether the driver waits or
// the window does (the offscreen driver accepts a swap interval and swaps at once); only
// a lower bound is checked, which a busy machine cannot break. Unpaced, nothing waits.
TEST(SwapPacing, PacedSwapsKeepToTheDisplaysRateAndUnpacedOnesAreFree)
{
    platform::WindowRequest request;
    request.width = 32;
    request.height = 32;
    platform::NativeWindow* window = platform::createGLWindow(request);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(platform::setSwapPacing(window, true), platform::SwapPacing::Free);
    constexpr int SWAPS = 12;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < SWAPS; ++i)
        platform::swapBuffers(window);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 0.9 * (SWAPS - 1) / platform::refreshRate(window));
    EXPECT_EQ(platform::setSwapPacing(window, false), platform::SwapPacing::Free);
    EXPECT_EQ(platform::swapPacing(window), platform::SwapPacing::Free);
    platform::destroyGLWindow(window);
}
