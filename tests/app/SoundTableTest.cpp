#include "app/Sound.h"
#include "app/SoundError.h"

#include "ConsoleCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every backend call; loads fail for names starting with "missing".
class FakeBackend : public SoundBackend {
public:
    bool initSucceeds = true;
    int freeChannels = 100;
    std::vector<std::string> calls;
    int loads = 0;
    int plays = 0;
    float rolloff = -1.0f;
    std::vector<bool> loopFlags;

    bool init(int rate, int channels) override
    {
        calls.push_back("init " + std::to_string(rate) + " " + std::to_string(channels));
        return initSucceeds;
    }
    int lastError() override { return initSucceeds ? SOUND_ERR_NONE : SOUND_ERR_INIT; }
    void setReserved(int channel, bool reserved) override
    {
        calls.push_back("reserve " + std::to_string(channel) + " " + std::to_string(reserved));
    }
    void setRolloffFactor(float factor) override
    {
        rolloff = factor;
        calls.push_back("rolloff");
    }
    void setDistanceFactor(float) override { calls.push_back("distance"); }
    void setMasterVolume(int volume) override { calls.push_back("volume " + std::to_string(volume)); }
    int loadSample(const char* name, bool looping) override
    {
        loopFlags.push_back(looping);
        if (std::string(name).rfind("missing", 0) == 0)
            return -1;
        return loads++;
    }
    int playSound(int sample) override
    {
        if (freeChannels == 0)
            return -1;
        --freeChannels;
        ++plays;
        calls.push_back("play " + std::to_string(sample));
        return plays; // channel numbers 1, 2, ... (0 is reserved)
    }
    void setPosition(int, float, float, float) override {}
    void setMinMaxDistance(int, float, float) override {}
    void setPaused(int channel, bool paused) override
    {
        calls.push_back("paused " + std::to_string(channel) + " " + std::to_string(paused));
    }
    bool seekChannel(int channel, int ms) override
    {
        calls.push_back("seek " + std::to_string(channel) + " " + std::to_string(ms));
        return true;
    }
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
    EXPECT_STREQ(soundErrorText(0), "No errors");
    EXPECT_STREQ(soundErrorText(1), "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(soundErrorText(12), "Not enough memory ");
    EXPECT_STREQ(soundErrorText(18), "Required Mediaplayer codec is not installed");
    for (int code : {-1, 19, 1000, EMPTY_SLOT})
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
    std::vector<std::string> expected = {"init 44100 32", "rolloff", "reserve 0 1", "distance", "volume 255"};
    EXPECT_EQ(backend.calls, expected);
    EXPECT_FLOAT_EQ(backend.rolloff, 2.0f);
}

TEST_F(SoundTable, SameNameReturnsSameSlotAndDecodesOnce)
{
    int first = sound.loadSample("rap2.mp3", 0);
    int again = sound.loadSample("rap2.mp3", 1);
    int other = sound.loadSample("RAP2.mp3", 1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(again, first);
    EXPECT_EQ(other, 1) << "names compare byte by byte";
    EXPECT_EQ(backend.loads, 2);
    EXPECT_EQ(backend.loopFlags, (std::vector<bool>{false, true}));
    EXPECT_EQ(sound.slotUses(first), 1);
    EXPECT_EQ(sound.slotCount(), 2);
}

TEST_F(SoundTable, FullTableReturnsEmptySlot)
{
    for (int i = 0; i < SOUND_SLOTS; ++i)
        ASSERT_EQ(sound.loadSample(("s" + std::to_string(i)).c_str(), 0), i);
    EXPECT_EQ(sound.loadSample("one too many", 0), EMPTY_SLOT);
    EXPECT_EQ(sound.slotCount(), SOUND_SLOTS);
    EXPECT_EQ(backend.loads, SOUND_SLOTS);
    // A name already in the full table is still found.
    EXPECT_EQ(sound.loadSample("s4095", 0), 4095);
}

TEST_F(SoundTable, InitFreesSlotsWhichAreReusedFirst)
{
    sound.loadSample("a", 0);
    sound.loadSample("b", 0);
    sound.init();
    EXPECT_FALSE(sound.isValidSlot(0));
    EXPECT_EQ(sound.loadSample("b", 0), 0) << "the first free slot below the count";
    EXPECT_EQ(sound.slotCount(), 3) << "the count grows even when a free slot is reused";
}

TEST_F(SoundTable, InvalidSlotsPlayNothing)
{
    sound.loadSample("a", 0);
    int failed = sound.loadSample("missing.mp3", 0);
    EXPECT_EQ(failed, 1) << "an undecodable file still takes a slot";
    EXPECT_EQ(sound.loadSample("missing.mp3", 0), failed);
    for (int slot : {EMPTY_SLOT, SOUND_SLOTS, -1, 7, failed}) {
        EXPECT_FALSE(sound.isValidSlot(slot)) << slot;
        sound.playSample(slot, 100 + slot);
    }
    EXPECT_EQ(backend.plays, 0);
    EXPECT_TRUE(sound.isValidSlot(0));
}

TEST_F(SoundTable, EachKeyPlaysOncePerProcess)
{
    int slot = sound.loadSample("a", 0);
    sound.playSample(slot, 1);
    sound.playSample(slot, 1);
    sound.playSample(slot, 0);
    EXPECT_EQ(backend.plays, 1);
    std::vector<std::string> expected = {"play 0", "paused 1 0"};
    EXPECT_EQ(backend.calls, expected);
    sound.playSample(slot, 2);
    EXPECT_EQ(backend.plays, 2);
}

TEST_F(SoundTable, PlayWithoutFreeChannelKeepsKeyUnused)
{
    int slot = sound.loadSample("a", 0);
    backend.freeChannels = 0;
    sound.playSample(slot, 5);
    EXPECT_EQ(backend.calls, std::vector<std::string>{}) << "nothing to resume";
    backend.freeChannels = 1;
    sound.playSample(slot, 5);
    EXPECT_EQ(backend.plays, 1);
}

// A seek finds the music by the key it was played under; a key never played (0 marks
// the channels that never played) reaches no channel.
TEST_F(SoundTable, PauseAndSeekReachTheChannelPlayedUnderTheKey)
{
    int slot = sound.loadSample("a", 0);
    sound.playSample(slot, 7);
    sound.playSample(slot, 9);
    backend.calls.clear();
    sound.pauseKey(9, true);
    EXPECT_TRUE(sound.seekKey(9, 1500));
    EXPECT_TRUE(sound.seekKey(7, 20));
    for (int key : {0, 8}) {
        sound.pauseKey(key, true);
        EXPECT_FALSE(sound.seekKey(key, 10)) << key;
    }
    std::vector<std::string> expected = {"paused 2 1", "seek 2 1500", "seek 1 20"};
    EXPECT_EQ(backend.calls, expected);
}

TEST_F(SoundTable, RolloffIsClampedToTen)
{
    sound.setRolloff(25.0f);
    EXPECT_FLOAT_EQ(backend.rolloff, 10.0f);
    sound.setRolloff(3.5f);
    EXPECT_FLOAT_EQ(backend.rolloff, 3.5f);
}

}
