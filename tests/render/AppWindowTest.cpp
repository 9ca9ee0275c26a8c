#include "engine/render/AppWindow.h"
#include "platform/Events.h"
#include "platform/GLWindow.h"
#include "platform/Input.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

namespace {

int countAppQuits()
{
    int quits = 0;
    platform::Event event;
    while (platform::pollEvent(event))
        quits += event.type == platform::EventType::AppQuit ? 1 : 0;
    return quits;
}

TEST(AppWindow, DecliningFullScreenIsAnsweredYesHeadlessAndGivesAnExactClientArea)
{
    platform::setFullscreenAvailable(false);
    testing::internal::CaptureStderr();
    AppWindow window(1024, 768, 32, false);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(window.created());
    EXPECT_NE(err.find("The Requested Fullscreen Mode is not supported By\nyour Video Card. Use Windowed Mode Instead?"),
        std::string::npos)
        << err;
    EXPECT_FALSE(window.fullscreen);
    EXPECT_NE(window.getHandle(), 0ul);
    EXPECT_EQ(window.width, 1024.0f);
    EXPECT_EQ(window.height, 768.0f);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    GLint depth = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_GE(depth, 16) << "a depth buffer must exist even when 32 bits are not offered";
    platform::setFullscreenAvailable(true);
}

TEST(AppWindow, ZeroOrNanSizesBecomeOne)
{
    AppWindow window(64, 48, 32, false, false);
    window.resize(0.0f, 300.0f);
    EXPECT_EQ(window.width, 1.0f);
    EXPECT_EQ(window.height, 300.0f);
    window.resize(200.0f, std::nanf(""));
    EXPECT_EQ(window.width, 200.0f);
    EXPECT_EQ(window.height, 1.0f);
    platform::Event sized;
    sized.type = platform::EventType::WindowResized;
    sized.width = 0;
    sized.height = 0;
    window.handleEvent(sized);
    EXPECT_EQ(window.width, 1.0f);
    EXPECT_EQ(window.height, 1.0f);
}

TEST(AppWindow, EscapeOrCloseDestroysTheWindowAndPostsOneQuitPerClose)
{
    AppWindow window(64, 48, 32, false, false);
    countAppQuits();
    platform::Event escape;
    escape.type = platform::EventType::KeyDown;
    escape.key = static_cast<int>(platform::Key::Escape);
    platform::Event otherKey;
    otherKey.type = platform::EventType::KeyDown;
    otherKey.key = static_cast<int>(platform::Key::Space);

    window.handleEvent(otherKey);
    EXPECT_EQ(countAppQuits(), 0) << "only Escape closes the window";
    EXPECT_NE(window.getHandle(), 0ul);

    window.handleEvent(escape);
    EXPECT_EQ(window.getHandle(), 0ul);
    platform::Event close;
    close.type = platform::EventType::WindowClose;
    window.handleEvent(close);
    EXPECT_EQ(countAppQuits(), 1);

    EXPECT_TRUE(window.destroy()) << "the first destroy releases the window kind";
    EXPECT_FALSE(window.destroy()) << "a second destroy finds nothing to release";
}

}
