// qztool sync and lyrics --snap on real MP3s: the show's own soundtrack (90 BPM, no
// gapless note, its bar lines known from datagen) and a song synthesised here at 128 BPM
// at another sample rate, with a soft start (no kick for four bars) and a lead-in.
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The number that starts each line (a time of Syncro.txt or rap.txt).
std::vector<double> numbers(const std::string& text)
{
    std::istringstream in(text);
    std::vector<double> values;
    for (std::string line; std::getline(in, line);)
        values.push_back(std::atof(line.c_str()));
    return values;
}

double reportedBpm(const std::string& err)
{
    const std::size_t at = err.find("tempo: ");
    return at == std::string::npos ? 0.0 : std::stod(err.substr(at + 7));
}

// 16-bit mono WAV of a drum loop: kick on beats 1 (loud) and 3 from bar 5, snare on 2
// and 4 fading in from bar 3, hats on every half beat, a pad throughout.
std::string drumLoopWav(double bpm, int rate, double seconds, double leadMs)
{
    const std::size_t n = std::size_t(seconds * rate);
    std::vector<double> mix(n, 0.0);
    std::uint32_t noise = 0x9E3779B9u;
    auto hit = [&](double ms, double length, double gain, auto voice) {
        for (std::size_t i = 0, at = std::size_t(ms * rate / 1000); i < std::size_t(length * rate) && at + i < n; ++i)
            mix[at + i] += gain * voice(double(i) / rate);
    };
    auto hiss = [&](double decay) {
        return [&noise, decay](double t) {
            noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;
            return (double(noise) / 2147483648.0 - 1.0) * std::exp(-t / decay);
        };
    };
    const double beatMs = 60000.0 / bpm;
    for (int b = 0; leadMs + b * beatMs < seconds * 1000; ++b) {
        const double at = leadMs + b * beatMs;
        const int bar = b / 4, pos = b % 4;
        if (bar >= 4 && pos % 2 == 0)
            hit(at, 0.4, pos == 0 ? 0.9 : 0.5, [](double t) { return std::sin(6.2832 * (50 * t + 1.8 * (1 - std::exp(-t / 0.03)))) * std::exp(-t / 0.25); });
        if (bar >= 2 && pos % 2 == 1)
            hit(at, 0.2, 0.4 * std::min(1.0, bar / 4.0), hiss(0.08));
        hit(at, 0.05, 0.15, hiss(0.02));
        hit(at + beatMs / 2, 0.05, 0.08, hiss(0.02));
    }
    std::string wav = "RIFF----WAVEfmt ";
    auto put = [&wav](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wav += char((v >> (8 * i)) & 0xFF);
    };
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    wav += "data", put(std::uint32_t(n * 2), 4);
    for (std::size_t i = 0; i < n; ++i)
        put(std::uint16_t(std::int16_t(30000 * std::clamp(mix[i] + 0.1 * std::sin(6.2832 * 220 * i / rate), -1.0, 1.0))), 2);
    return wav;
}

}

// Bars 3, 8, ... 63 of the soundtrack (counted from 1), the first and last of them
// scene changes of datagen's own Syncro.txt.
TEST(SongSync, FindsTheSoundtracksTempoAndPutsSceneChangesOnDatagensBarLines)
{
    ScratchDir dir;
    ASSERT_EQ(runBuilt("datagen", { dir.file("Data") }).exitStatus, 0);
    ChildResult sync = runBuilt("qztool", { "sync", dir.file("Data/rap2.mp3"), "--first-bar", "3", "--bars-per-scene", "5" });
    ASSERT_EQ(sync.exitStatus, 0) << sync.err;
    EXPECT_NEAR(reportedBpm(sync.err), 90.0, 0.45) << sync.err;
    const std::vector<double> times = numbers(sync.out), datagen = numbers(readWholeFile(dir.file("Data/Syncro.txt")));
    ASSERT_EQ(times.size(), 13u) << sync.out;
    for (std::size_t k = 0; k < times.size(); ++k)
        EXPECT_NEAR(times[k], (2 + 5 * k) * 4 * 60000.0 / 90.0, 30.0) << "scene change " << k;
    EXPECT_NEAR(times[0], datagen.at(0), 30.0);
    EXPECT_NEAR(times[12], datagen.at(11), 30.0);
}

// Default first bar (the second bar line), every two bars; lines snapped to the beats.
TEST(SongSync, FindsASynthesisedSongsBarsThroughItsSoftStartAndSnapsLyricsToItsBeats)
{
    ScratchDir dir;
    const double lead = 300.0, beat = 60000.0 / 128.0;
    dir.write("song.wav", drumLoopWav(128.0, 48000, 50.0, lead));
    ASSERT_EQ(runCommand("lame --quiet -b 128 " + shellQuote(dir.file("song.wav")) + " " + shellQuote(dir.file("song.mp3"))), 0);
    ChildResult sync = runBuilt("qztool", { "sync", dir.file("song.mp3"), "--bars-per-scene", "2" });
    ASSERT_EQ(sync.exitStatus, 0) << sync.err;
    EXPECT_NEAR(reportedBpm(sync.err), 128.0, 0.64) << sync.err;
    const std::vector<double> times = numbers(sync.out);
    ASSERT_EQ(times.size(), 13u) << sync.out;
    for (std::size_t k = 0; k < times.size(); ++k)
        EXPECT_NEAR(times[k], lead + (1 + 2 * k) * 4 * beat, 30.0) << "scene change " << k;

    ChildResult missing = runBuilt("qztool", { "sync", dir.file("none.mp3") });
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("none.mp3: cannot open: No such file"), std::string::npos) << missing.err;

    const double heard[] = { 1355, 5105, 19167, 33421 }; // a quarter beat after a beat
    std::string lrc;
    for (double ms : heard) {
        char line[32];
        std::snprintf(line, sizeof line, "[00:%02d.%03d]w\n", int(ms) / 1000, int(ms) % 1000);
        lrc += line;
    }
    ChildResult snap = runBuilt("qztool", { "lyrics", dir.write("a.lrc", lrc), "--snap", dir.file("song.mp3") });
    ASSERT_EQ(snap.exitStatus, 0) << snap.err;
    EXPECT_NE(snap.err.find("snap: 4 lines"), std::string::npos) << snap.err;
    const std::vector<double> snapped = numbers(snap.out);
    ASSERT_EQ(snapped.size(), 4u) << snap.out;
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(snapped[i], lead + std::round((heard[i] - lead) / beat) * beat, 15.0) << heard[i];
}
