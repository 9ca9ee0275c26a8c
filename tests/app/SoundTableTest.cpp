#include "app/Sound.h"
#include "app/SoundError.h"

#include "ConsoleCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every backend call; loads fail for names starting with "missing"; channel
// numbers are handed out 1, 2, ... (0 is reserved).
class FakeBackend : public SoundBackend {
public:
    bool initSucceeds = true;
    int freeChannels = 100;
    int loads = 0;
    int plays = 0;
    float rolloff = -1.0f;
    std::vector<std::string> calls;
    std::vector<bool> loopFlags;

    void log(const std::string& name, int a, int b) { calls.push_back(name + " " + std::to_string(a) + " " + std::to_string(b)); }
    bool init(int rate, int channels) override { return log("init", rate, channels), initSucceeds; }
    int lastError() override { return initSucceeds ? SOUND_ERR_NONE : SOUND_ERR_INIT; }
    void setReserved(int channel, bool reserved) override { log("reserve", channel, reserved); }
    void setRolloffFactor(float factor) override { rolloff = factor; }
    void setDistanceFactor(float) override {}
    void setMasterVolume(int volume) override { log("volume", volume, 0); }
    int loadSample(const char* name, bool looping) override
    {
        loopFlags.push_back(looping);
        return std::string(name).rfind("missing", 0) == 0 ? -1 : loads++;
    }
    int playSound(int sample) override
    {
        if (freeChannels == 0)
            return -1;
        --freeChannels;
        log("play", sample, ++plays);
        return plays;
    }
    void setPosition(int, float, float, float) override {}
    void setMinMaxDistance(int, float, float) override {}
    void setPaused(int channel, bool paused) override { log("paused", channel, paused); }
    bool seekChannel(int channel, int ms) override { return log("seek", channel, ms), true; }
};

class SoundTable : public testing::Test {
protected:
    FakeBackend backend;
    SoundSystem sound{backend};

    void SetUp() override
    {
        sound.init();
        backend.calls.clear();
    }
};

TEST(SoundErrorTextTest, KeepsExactTextsAndFallsBackForUnknownCodes)
{
    EXPECT_STREQ(soundErrorText(1), "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(soundErrorText(18), "Required Mediaplayer codec is not installed");
    for (int code : {-1, 19, EMPTY_SLOT})
        EXPECT_STREQ(soundErrorText(code), "Unknown error") << code;
}

TEST(SoundInitTest, OpensAtCdRateReservesChannelZeroAndReportsFailure)
{
    FakeBackend backend;
    backend.initSucceeds = false;
    SoundSystem sound(backend);
    ConsoleCapture console;
    sound.init();
    EXPECT_EQ(console.text(), "Init: Error initializing output device.\n");
    EXPECT_EQ(backend.calls, (std::vector<std::string>{"init 44100 32", "reserve 0 1", "volume 255 0"}));
    EXPECT_FLOAT_EQ(backend.rolloff, 2.0f);
    sound.setRolloff(25.0f);
    EXPECT_FLOAT_EQ(backend.rolloff, 10.0f) << "clamped to ten";
}

TEST_F(SoundTable, SameNameSharesASlotInitFreesThemAndAFullTableRefuses)
{
    EXPECT_EQ(sound.loadSample("rap2.mp3", 0), 0);
    EXPECT_EQ(sound.loadSample("rap2.mp3", 1), 0);
    EXPECT_EQ(sound.loadSample("RAP2.mp3", 1), 1) << "names compare byte by byte";
    EXPECT_EQ(backend.loopFlags, (std::vector<bool>{false, true}));
    EXPECT_EQ(sound.slotUses(0), 1);

    sound.init();
    EXPECT_FALSE(sound.isValidSlot(0));
    EXPECT_EQ(sound.loadSample("RAP2.mp3", 0), 0) << "the first free slot below the count";
    EXPECT_EQ(sound.slotCount(), 3) << "the count grows even when a free slot is reused";
    for (int i = 1; i < SOUND_SLOTS; ++i)
        ASSERT_EQ(sound.loadSample(("s" + std::to_string(i)).c_str(), 0), i);
    EXPECT_EQ(sound.loadSample("one too many", 0), EMPTY_SLOT);
    EXPECT_EQ(sound.loadSample("s4095", 0), 4095) << "a name in the full table is still found";
    EXPECT_EQ(backend.loads, SOUND_SLOTS + 2);
}

TEST_F(SoundTable, InvalidSlotsPlayNothing)
{
    sound.loadSample("a", 0);
    const int failed = sound.loadSample("missing.mp3", 0);
    EXPECT_EQ(failed, 1) << "an undecodable file still takes a slot";
    EXPECT_EQ(sound.loadSample("missing.mp3", 0), failed);
    for (int slot : {EMPTY_SLOT, SOUND_SLOTS, -1, 7, failed}) {
        EXPECT_FALSE(sound.isValidSlot(slot)) << slot;
        sound.playSample(slot, 100 + slot);
    }
    EXPECT_EQ(backend.plays, 0);
    EXPECT_TRUE(sound.isValidSlot(0));
}

// Each key plays once per process; a play without a free channel leaves its key unused;
// pause and seek find the music by the key it was played under, and a key never played
// (0 marks the channels that never played) reaches no channel.
TEST_F(SoundTable, EachKeyPlaysOnceAndPauseAndSeekReachItsChannel)
{
    const int slot = sound.loadSample("a", 0);
    backend.freeChannels = 0;
    sound.playSample(slot, 9);
    backend.freeChannels = 10;
    for (int key : {7, 7, 0, 9})
        sound.playSample(slot, key);
    sound.pauseKey(9, true);
    EXPECT_TRUE(sound.seekKey(9, 1500));
    EXPECT_TRUE(sound.seekKey(7, 20));
    for (int key : {0, 8}) {
        sound.pauseKey(key, true);
        EXPECT_FALSE(sound.seekKey(key, 10)) << key;
    }
    const std::vector<std::string> expected = {"play 0 1", "paused 1 0", "play 0 2", "paused 2 0", "paused 2 1",
        "seek 2 1500", "seek 1 20"};
    EXPECT_EQ(backend.calls, expected);
}

}
