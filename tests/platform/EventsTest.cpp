#include "platform/Events.h"
#include "platform/Input.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace {

std::vector<platform::EventType> drain()
{
    std::vector<platform::EventType> types;
    platform::Event event;
    while (platform::pollEvent(event))
        types.push_back(event.type);
    return types;
}

TEST(Events, PostedEventsArriveOneAtATimeInOrder)
{
    drain();
    platform::Event quit;
    quit.type = platform::EventType::Quit;
    platform::postEvent(quit);
    platform::postAppQuit();
    platform::Event key;
    key.type = platform::EventType::KeyDown;
    key.key = 0; // Escape
    platform::postEvent(key);

    platform::Event event;
    ASSERT_TRUE(platform::pollEvent(event));
    EXPECT_EQ(event.type, platform::EventType::Quit) << "a desktop quit is not the private quit message";
    ASSERT_TRUE(platform::pollEvent(event));
    EXPECT_EQ(event.type, platform::EventType::AppQuit);
    ASSERT_TRUE(platform::pollEvent(event));
    EXPECT_EQ(event.type, platform::EventType::KeyDown);
    EXPECT_EQ(event.key, 0);
    EXPECT_FALSE(platform::pollEvent(event));
}

TEST(Events, MouseLookSeesRealMotionOnlyWhileTheWindowHasTheFocus)
{
    using T = platform::EventType;
    struct Step {
        std::vector<T> events;
        bool look;
    };
    const Step steps[] = {
        { { T::MouseMotion }, false },                  // no focus yet
        { { T::FocusGained }, false },                  // focus, but no motion
        { { T::MouseMotion, T::MouseMotion }, true },
        { {}, false },                                  // that motion was taken
        { { T::MouseMotion, T::FocusLost }, false },
        { { T::FocusGained, T::MouseMotion }, true },
    };
    drain();
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        for (T type : steps[i].events) {
            platform::Event event;
            event.type = type;
            platform::postEvent(event);
        }
        drain();
        EXPECT_EQ(platform::takeMouseMotion(), steps[i].look) << "step " << i;
    }
}

TEST(Events, TheFirstSignalClosesTheWindowAndASecondEndsTheProcess)
{
    for (int signal : { SIGINT, SIGTERM }) {
        auto twoSignals = [signal] {
            drain();
            platform::installSignalHandlers();
            std::raise(signal);
            if (drain() != std::vector<platform::EventType> { platform::EventType::WindowClose })
                std::_Exit(3);
            std::raise(signal);
            std::_Exit(0);
        };
        EXPECT_EXIT(twoSignals(), testing::KilledBySignal(signal), "") << signal;
    }
}

}
