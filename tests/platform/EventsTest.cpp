#include "platform/Events.h"
#include "platform/Input.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

using T = platform::EventType;

static std::vector<T> drain()
{
    std::vector<T> types;
    for (platform::Event event; platform::pollEvent(event);)
        types.push_back(event.type);
    return types;
}

static void post(T type)
{
    platform::Event event;
    event.type = type;
    platform::postEvent(event);
}

TEST(Events, PostedEventsArriveOneAtATimeInOrder)
{
    drain();
    post(T::Quit);
    platform::postAppQuit();
    post(T::KeyDown);
    // A desktop quit is not the private quit message.
    EXPECT_EQ(drain(), (std::vector<T> { T::Quit, T::AppQuit, T::KeyDown }));
}

TEST(Events, MouseLookSeesRealMotionOnlyWhileTheWindowHasTheFocus)
{
    const struct { std::vector<T> events; bool look; } steps[] = {
        { { T::MouseMotion }, false },                  // no focus yet
        { { T::FocusGained }, false },                  // focus, but no motion
        { { T::MouseMotion, T::MouseMotion }, true },
        { {}, false },                                  // that motion was taken
        { { T::MouseMotion, T::FocusLost }, false },
        { { T::FocusGained, T::MouseMotion }, true },
    };
    drain();
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        for (T type : steps[i].events)
            post(type);
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
            if (drain() != std::vector<T> { T::WindowClose })
                std::_Exit(3);
            std::raise(signal);
            std::_Exit(0);
        };
        EXPECT_EXIT(twoSignals(), testing::KilledBySignal(signal), "") << signal;
    }
}
