// qztool sync and lyrics --snap on a song synthesised here at 128 BPM at another sample
// rate than the show's, with a lead-in of 300 ms and a soft start: hats and a pad, a
// snare fading in from bar 3, the kick (louder on the bar's first beat) only from bar 5.
// The show's own soundtrack is synced beside its sheet.
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// u: seconds since the lead-in; a beat is 0.46875 s, a bar 1.875 s.
const char* const SONG = "aevalsrc='st(0,t-0.3);st(1,mod(ld(0),0.9375));st(2,mod(ld(0)-0.46875,0.9375));"
    "st(3,mod(ld(0),0.234375));gte(ld(0),0)*(gte(ld(0),7.5)*(0.5+0.4*lt(mod(ld(0),1.875),0.9375))"
    "*sin(2*PI*(50*ld(1)+1.8*(1-exp(-ld(1)/0.03))))*exp(-ld(1)/0.25)"
    "+gte(ld(0),4.2)*0.1*min(4,floor(ld(0)/1.875))*(2*random(4)-1)*exp(-ld(2)/0.08)"
    "+(0.08+0.07*lt(mod(ld(0),0.46875),0.234375))*(2*random(5)-1)*exp(-ld(3)/0.02))+0.1*sin(2*PI*220*t)':s=48000:d=50";

}

// Default first bar (the second bar line), every two bars; lines snapped to the beats.
TEST(SongSync, FindsASynthesisedSongsBarsThroughItsSoftStartAndSnapsLyricsToItsBeats)
{
    ScratchDir dir;
    const std::string song = dir.file("song.mp3");
    ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i \"" + std::string(SONG) + "\" -c:a libmp3lame " + shellQuote(song)), 0);
    ChildResult sync = runBuilt("qztool", { "sync", song, "--bars-per-scene", "2" });
    ASSERT_EQ(sync.exitStatus, 0) << sync.err;
    const std::size_t tempo = sync.err.find("tempo: ");
    EXPECT_NEAR(tempo == std::string::npos ? 0.0 : std::stod(sync.err.substr(tempo + 7)), 128.0, 0.1) << sync.err;
    const std::vector<double> times = numbers(sync.out);
    ASSERT_EQ(times.size(), 13u) << sync.out;
    for (std::size_t k = 0; k < times.size(); ++k)
        EXPECT_NEAR(times[k], 300 + (1 + 2 * k) * 1875.0, 30.0) << "scene change " << k;

    ChildResult missing = runBuilt("qztool", { "sync", dir.file("none.mp3") });
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("none.mp3: cannot open: No such file"), std::string::npos) << missing.err;

    // A quarter beat after beats 2, 10 and 40, a third before beat 71.
    ChildResult snap = runBuilt("qztool", { "lyrics", dir.write("a.lrc", "[00:01.355]w\n[00:05.105]w\n[00:19.167]w\n[00:33.421]w\n"),
        "--snap", song });
    ASSERT_EQ(snap.exitStatus, 0) << snap.err;
    EXPECT_NE(snap.err.find("snap: 4 lines"), std::string::npos) << snap.err;
    const std::vector<double> snapped = numbers(snap.out), beats = { 1237.5, 4987.5, 19050, 33581.25 };
    ASSERT_EQ(snapped.size(), 4u) << snap.out;
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(snapped[i], beats[i], 15.0) << i;
}
