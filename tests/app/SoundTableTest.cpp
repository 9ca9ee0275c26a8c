#include "app/Sound.h"
#include "app/SoundError.h"

#include "ConsoleCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Logs the backend calls that matter; loads fail for names starting with "missing";
// channels are handed out 1, 2, ... (0 is reserved).
class FakeBackend : public SoundBackend {
public:
    bool initSucceeds = true;
    int channels = 0; // handed out so far; none when negative
    float rolloff = -1.0f;
    std::vector<std::string> calls;

    bool log(const std::string& name, int a, int b)
    {
        return calls.push_back(name + " " + std::to_string(a) + " " + std::to_string(b)), true;
    }
    bool init(int rate, int count) override { return log("init", rate, count) && initSucceeds; }
    int lastError() override { return initSucceeds ? SOUND_ERR_NONE : SOUND_ERR_INIT; }
    void setReserved(int channel, bool reserved) override { log("reserve", channel, reserved); }
    void setRolloffFactor(float factor) override { rolloff = factor; }
    void setDistanceFactor(float) override {}
    void setMasterVolume(int volume) override { log("volume", volume, 0); }
    int loadSample(const char* name, bool looping) override
    {
        return log("load", looping, 0), std::string(name).rfind("missing", 0) ? 7 : -1;
    }
    int playSound(int sample) override { return channels < 0 ? -1 : (log("play", sample, ++channels), channels); }
    void setPosition(int, float, float, float) override {}
    void setMinMaxDistance(int, float, float) override {}
    void setPaused(int channel, bool paused) override { log("paused", channel, paused); }
    bool seekChannel(int channel, int ms) override { return log("seek", channel, ms); }
};

// Init opens at CD rate with channel 0 reserved and says when it fails. A name decodes
// once and keeps its slot (byte for byte); init frees the slots, reused first; an
// undecodable file takes a slot that plays nothing; a full table refuses.
TEST(SoundTable, InitReportsFailureSameNameSharesASlotAndAFullTableRefuses)
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
    backend.calls.clear();
    EXPECT_EQ(sound.loadSample("rap2.mp3", 0) + sound.loadSample("rap2.mp3", 1), 0);
    EXPECT_EQ(sound.loadSample("RAP2.mp3", 1), 1);
    EXPECT_EQ(backend.calls, (std::vector<std::string>{"load 0 0", "load 1 0"}));
    EXPECT_EQ(sound.slotUses(0), 1);
    sound.init();
    EXPECT_FALSE(sound.isValidSlot(0));
    EXPECT_EQ(sound.loadSample("RAP2.mp3", 0), 0) << "the first free slot below the count";
    EXPECT_EQ(sound.slotCount(), 3) << "the count grows even when a free slot is reused";
    const int failed = sound.loadSample("missing.mp3", 0);
    EXPECT_TRUE(failed == 1 && sound.loadSample("missing.mp3", 0) == failed);
    for (int slot : {EMPTY_SLOT, SOUND_SLOTS, -1, 7, failed}) {
        EXPECT_FALSE(sound.isValidSlot(slot)) << slot;
        sound.playSample(slot, 100 + slot);
    }
    EXPECT_EQ(backend.channels, 0) << "invalid slots play nothing";
    for (int i = 2; i < SOUND_SLOTS; ++i)
        ASSERT_EQ(sound.loadSample(("s" + std::to_string(i)).c_str(), 0), i);
    EXPECT_EQ(sound.loadSample("one too many", 0), EMPTY_SLOT);
    EXPECT_EQ(sound.loadSample("s4095", 0), 4095) << "a name in the full table is still found";
}

// Each key plays once per process; a play without a free channel leaves its key unused;
// pause and seek find the music by the key it was played under, and a key never played
// (0 marks the channels that never played) reaches no channel.
TEST(SoundTable, EachKeyPlaysOnceAndPauseAndSeekReachItsChannel)
{
    FakeBackend backend;
    SoundSystem sound(backend);
    const int slot = sound.loadSample("a", 0);
    backend.calls.clear();
    backend.channels = -1;
    sound.playSample(slot, 9);
    backend.channels = 0;
    for (int key : {7, 7, 0, 9})
        sound.playSample(slot, key);
    sound.pauseKey(9, true);
    EXPECT_TRUE(sound.seekKey(9, 1500) && sound.seekKey(7, 20));
    sound.pauseKey(0, true);
    sound.pauseKey(8, true);
    EXPECT_FALSE(sound.seekKey(0, 10) || sound.seekKey(8, 10));
    const std::vector<std::string> expected = {"play 7 1", "paused 1 0", "play 7 2", "paused 2 0", "paused 2 1",
        "seek 2 1500", "seek 1 20"};
    EXPECT_EQ(backend.calls, expected);
}

}
