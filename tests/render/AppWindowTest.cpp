#include "engine/render/AppWindow.h"
#include "platform/Events.h"
#include "platform/GLWindow.h"
#include "platform/Input.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

namespace {

TEST(AppWindow, DecliningFullScreenIsAnsweredYesHeadlessAndGivesAnExactClientArea)
{
    platform::setFullscreenAvailable(false);
    testing::internal::CaptureStderr();
    AppWindow window(1024, 768, 32, false);
    std::string err = testing::internal::GetCapturedStderr();
    platform::setFullscreenAvailable(true);
    ASSERT_TRUE(window.created());
    EXPECT_NE(err.find("The Requested Fullscreen Mode is not supported By\nyour Video Card. Use Windowed Mode Instead?"),
              std::string::npos) << err;
    EXPECT_FALSE(window.fullscreen);
    GLint viewport[4] = {}, depth = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_EQ(std::make_tuple(window.width, window.height, viewport[2], viewport[3]), std::make_tuple(1024.0f, 768.0f, 1024, 768));
    EXPECT_GE(depth, 16) << "a depth buffer must exist even when 32 bits are not offered";
}

TEST(AppWindow, ZeroOrNanSizesBecomeOne)
{
    AppWindow window(64, 48, 32, false, false);
    window.resize(0.0f, 300.0f);
    EXPECT_EQ(std::make_pair(window.width, window.height), std::make_pair(1.0f, 300.0f));
    window.resize(200.0f, std::nanf(""));
    EXPECT_EQ(std::make_pair(window.width, window.height), std::make_pair(200.0f, 1.0f));
    platform::Event sized;
    sized.type = platform::EventType::WindowResized;
    sized.width = sized.height = 0;
    window.handleEvent(sized);
    EXPECT_EQ(std::make_pair(window.width, window.height), std::make_pair(1.0f, 1.0f));
}

TEST(AppWindow, EscapeOrCloseDestroysTheWindowAndPostsOneQuitPerClose)
{
    AppWindow window(64, 48, 32, false, false);
    auto quits = [] {
        int n = 0;
        for (platform::Event e; platform::pollEvent(e);)
            n += e.type == platform::EventType::AppQuit;
        return n;
    };
    quits();
    platform::Event key;
    key.type = platform::EventType::KeyDown;
    key.key = static_cast<int>(platform::Key::Space);
    window.handleEvent(key);
    EXPECT_EQ(quits(), 0) << "only Escape closes the window";
    EXPECT_NE(window.getHandle(), 0ul);
    key.key = static_cast<int>(platform::Key::Escape);
    window.handleEvent(key);
    EXPECT_EQ(window.getHandle(), 0ul);
    platform::Event close;
    close.type = platform::EventType::WindowClose;
    window.handleEvent(close);
    EXPECT_EQ(quits(), 1);
    EXPECT_TRUE(window.destroy()) << "the first destroy releases the window kind";
    EXPECT_FALSE(window.destroy()) << "a second destroy finds nothing to release";
}

}
