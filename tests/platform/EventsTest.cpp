#include "platform/Events.h"

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

TEST(Events, SigintAndSigtermArriveAsWindowCloseOncePerSignal)
{
    drain();
    platform::installSignalHandlers();
    std::raise(SIGINT);
    std::raise(SIGTERM);
    std::vector<platform::EventType> types = drain();
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0], platform::EventType::WindowClose);
    EXPECT_EQ(types[1], platform::EventType::WindowClose);
}

}
