#include "platform/Events.h"
#include "platform/Input.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
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

TEST(Events, SignalsTogetherAreOneCloseAndALaterOneEndsTheProcess)
{
    using namespace std::chrono_literals;
    struct Case {
        const char* what;
        int signal;
        bool loopTakesFirst;            // the frame loop polls between the two signals
        std::chrono::milliseconds gap;
        bool ends;                      // the second signal ends the process
    };
    const Case cases[] = {
        { "together, as timeout sends them", SIGINT, false, 0ms, false },
        { "together, as timeout sends them", SIGTERM, false, 0ms, false },
        { "together, the loop polling between them", SIGINT, true, 0ms, false },
        { "later, the loop having taken the close", SIGINT, true, 300ms, true },
        { "later, the loop having taken the close", SIGTERM, true, 300ms, true },
        { "soon, the loop not polling", SIGINT, false, 300ms, false },
        { "late, the loop not polling", SIGINT, false, 1100ms, true },
    };
    for (const Case& c : cases) {
        auto twoSignals = [&c] {
            drain();
            platform::installSignalHandlers();
            std::raise(c.signal);
            std::vector<T> seen = c.loopTakesFirst ? drain() : std::vector<T> {};
            std::this_thread::sleep_for(c.gap);
            std::raise(c.signal);
            for (T type : drain())
                seen.push_back(type);
            std::_Exit(seen == std::vector<T> { T::WindowClose } ? 0 : 3);
        };
        if (c.ends)
            EXPECT_EXIT(twoSignals(), testing::KilledBySignal(c.signal), "") << c.what << ", " << c.signal;
        else
            EXPECT_EXIT(twoSignals(), testing::ExitedWithCode(0), "") << c.what << ", " << c.signal;
    }
}

TEST(Events, AfterASignalNoMessageBoxWaitsForAClick)
{
    auto boxes = [] {
        ::setenv("DISPLAY", ":0", 1);
        ::unsetenv("SDL_VIDEODRIVER");
        if (!platform::messageBoxesVisible())
            std::_Exit(3);
        platform::installSignalHandlers();
        std::raise(SIGTERM);
        std::_Exit(platform::messageBoxesVisible() ? 4 : 0);
    };
    EXPECT_EXIT(boxes(), testing::ExitedWithCode(0), "");
}
