// Plays a real MP3 through the mixer into SDL's disk audio driver and reads back what
// the sound card would have received.
#include "app/PlatformSoundBackend.h"
#include "app/Sound.h"
#include "platform/Audio.h"

#include "ToneMp3.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double BYTES_PER_MS = TONE_RATE * 4 / 1000.0; // 16-bit stereo

std::vector<std::int16_t> readRaw(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i])
                                               | (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    return samples;
}

std::uintmax_t sizeOf(const fs::path& path)
{
    std::error_code ec;
    auto size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

// Waits (real time: the disk driver writes at the device's pace) until path holds bytes.
bool waitForSize(const fs::path& path, std::uintmax_t bytes)
{
    for (int i = 0; i < 400 && sizeOf(path) < bytes; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return sizeOf(path) >= bytes;
}

TEST(SoundOutputTest, Mp3PlaysPromptlyAndOnlyOncePerKey)
{
    ScratchDir dir;
    fs::path mp3 = dir.file("tone.mp3");
    fs::path raw = dir.file("out.raw");
    ASSERT_TRUE(makeToneMp3(mp3, 0.4)) << "the lame encoder is needed";

    platform::closeAudio();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);

    PlatformSoundBackend backend;
    SoundSystem sound(backend);
    sound.init();
    ASSERT_TRUE(platform::audioIsOpen()) << platform::lastAudioError();
    int slot = sound.loadSample(mp3.c_str(), 0);
    ASSERT_TRUE(sound.isValidSlot(slot)) << platform::lastAudioError();

    // Let some silence go out first, so the start of the sound can be located.
    ASSERT_TRUE(waitForSize(raw, static_cast<std::uintmax_t>(150 * BYTES_PER_MS)));
    std::uintmax_t atPlay = sizeOf(raw);
    sound.playSample(slot, 42);
    EXPECT_EQ(platform::playingAudioChannels(), 1);
    sound.playSample(slot, 42);
    EXPECT_EQ(platform::playingAudioChannels(), 1) << "a used key starts nothing";

    ASSERT_TRUE(waitForSize(raw, atPlay + static_cast<std::uintmax_t>(600 * BYTES_PER_MS)));
    platform::closeAudio();
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    std::vector<std::int16_t> out = readRaw(raw);
    std::size_t first = out.size();
    int peak = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        int v = std::abs(static_cast<int>(out[i]));
        if (v > 1000 && first == out.size())
            first = i;
        peak = std::max(peak, v);
    }
    ASSERT_LT(first, out.size()) << "the output is silent";
    EXPECT_GT(peak, 8000);
    double firstByte = static_cast<double>(first) * 2.0;
    EXPECT_GE(firstByte, static_cast<double>(atPlay)) << "sound before the play call";
    double delayMs = (firstByte - static_cast<double>(atPlay)) / BYTES_PER_MS;
    EXPECT_LT(delayMs, 100.0);
}

}
