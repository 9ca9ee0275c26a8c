#include "ToneMp3.h"

#include "tests/support/ScratchDir.h"

#include <cmath>
#include <cstdint>
#include <fstream>

namespace {

void put16(std::ofstream& out, std::uint16_t v)
{
    out.put(static_cast<char>(v & 0xFF));
    out.put(static_cast<char>(v >> 8));
}

void put32(std::ofstream& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

}

bool writeToneWav(const std::string& wavPath, double seconds)
{
    auto frames = static_cast<std::uint32_t>(seconds * TONE_RATE);
    std::ofstream out(wavPath, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + frames * 4);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 2);
    put32(out, TONE_RATE);
    put32(out, TONE_RATE * 4);
    put16(out, 4);
    put16(out, 16);
    out.write("data", 4);
    put32(out, frames * 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        // A cosine is at full amplitude on sample 0, so the start is audible at once.
        double v = TONE_PEAK * std::cos(2.0 * 3.14159265358979 * 440.0 * i / TONE_RATE);
        auto s = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        put16(out, s);
        put16(out, s);
    }
    return static_cast<bool>(out);
}

bool makeToneMp3(const std::string& mp3Path, double seconds)
{
    std::string wav = mp3Path + ".wav";
    if (!writeToneWav(wav, seconds))
        return false;
    return runCommand("lame --quiet -b 128 " + shellQuote(wav) + " " + shellQuote(mp3Path)) == 0;
}
