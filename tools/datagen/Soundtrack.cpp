#include "tools/datagen/Soundtrack.h"

#include "tools/datagen/ShowTimeline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

using namespace showtime;

constexpr double PI = std::numbers::pi;
constexpr int SIXTEENTH = SAMPLES_PER_BEAT / 4;
// Every second sixteenth comes late: the swing.
constexpr int SWING = SIXTEENTH * 22 / 100;

// A sine table read with linear interpolation: fast and the same on every machine.
class SineTable {
public:
    SineTable()
    {
        for (int i = 0; i <= SIZE; ++i)
            table_[i] = float(std::sin(2.0 * PI * i / SIZE));
    }
    // phase in cycles (any value >= 0)
    float operator()(double phase) const
    {
        const double p = (phase - std::floor(phase)) * SIZE;
        const int i = int(p);
        const float f = float(p - i);
        return table_[i] + (table_[i + 1] - table_[i]) * f;
    }

private:
    static constexpr int SIZE = 8192;
    float table_[SIZE + 1];
};

const SineTable& sine()
{
    static const SineTable table;
    return table;
}

// xorshift32: deterministic noise.
class Noise {
public:
    float next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return float(state_) / 2147483648.0f - 1.0f;
    }

private:
    std::uint32_t state_ = 0x9E3779B9u;
};

// exp(-t / tau) sample by sample, by repeated multiplication.
class Decay {
public:
    explicit Decay(double tauSeconds) : factor_(std::exp(-1.0 / (tauSeconds * SAMPLE_RATE))) {}
    double next()
    {
        const double v = value_;
        value_ *= factor_;
        return v;
    }

private:
    double factor_;
    double value_ = 1.0;
};

// tanh's shape for |x| < 3 at a fraction of its cost.
double softClip(double x)
{
    x = std::clamp(x, -3.0, 3.0);
    return x * (27.0 + x * x) / (27.0 + 9.0 * x * x);
}

double midiHz(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

struct Mix {
    std::vector<float> left, right;

    // Adds voice(i) for i in 0..length-1 from sample start, panned (-1 left .. 1 right).
    template <typename Voice>
    void add(std::int64_t start, std::int64_t length, float gain, float pan, Voice voice)
    {
        const float gl = gain * std::sqrt(0.5f * (1.0f - pan));
        const float gr = gain * std::sqrt(0.5f * (1.0f + pan));
        const std::int64_t end = std::min<std::int64_t>(start + length, std::int64_t(left.size()));
        for (std::int64_t s = std::max<std::int64_t>(start, 0); s < end; ++s) {
            const float v = voice(s - start);
            left[s] += v * gl;
            right[s] += v * gr;
        }
    }
};

// Which parts play in each scene.
struct Section {
    bool chords, bass, kick, snare, hats, hook, arpeggio, pad;
};

constexpr Section SECTIONS[SCENES] = {
    // chords bass kick snare hats hook arp pad
    {true, false, false, false, true, false, false, true},  // 0 intro
    {true, true, false, false, true, false, false, false},  // 1 title
    {true, true, true, true, true, true, false, false},      // 2 title, the hook
    {true, true, true, true, true, false, false, false},     // 3 wall
    {true, true, false, false, true, false, true, true},     // 4 pond: breakdown
    {true, true, true, true, true, true, false, false},      // 5 cave
    {true, true, true, true, true, false, true, false},      // 6 sphere
    {true, true, true, true, true, true, true, true},        // 7 climax
    {false, true, true, true, true, true, false, false},     // 8 dancer
    {true, true, true, true, true, true, false, false},      // 9 reprise
    {true, true, true, false, true, false, false, false},    // 10 credits
    {true, true, true, false, true, false, false, false},    // 11
    {true, true, true, true, true, false, false, false},     // 12
    {true, false, false, false, true, true, false, true},    // 13 outro
};

// One chord per bar, a four-bar loop in A minor: Am9, Fmaj9, Dm9, E7(b9).
constexpr int ROOTS[4] = {33, 29, 26, 28};
constexpr int VOICINGS[4][4] = {{60, 64, 67, 71}, {57, 60, 64, 67}, {53, 57, 60, 64}, {56, 59, 62, 65}};

// The hook: two bars, (sixteenth step, note, length in sixteenths); it returns every
// four bars.
struct Note {
    int step, note, length;
};
constexpr Note HOOK[] = {
    {0, 76, 2}, {3, 79, 1}, {4, 76, 2}, {6, 74, 2}, {10, 72, 2}, {12, 69, 4},
    {16, 72, 2}, {18, 74, 2}, {20, 76, 6}, {27, 79, 1}, {28, 81, 3},
};

std::int64_t stepSample(std::int64_t bar, int step)
{
    const int inBar = step % 16;
    return bar * SAMPLES_PER_BAR + std::int64_t(step / 16) * SAMPLES_PER_BAR + inBar * SIXTEENTH
        + ((inBar & 1) ? SWING : 0);
}

void kick(Mix& mix, std::int64_t at, float gain)
{
    double phase = 0.0;
    Decay sweep(0.035), body(0.30);
    mix.add(at, SAMPLE_RATE / 2, gain, 0.0f, [&](std::int64_t) {
        phase += (45.0 + 75.0 * sweep.next()) / SAMPLE_RATE;
        return float(sine()(phase) * body.next());
    });
}

void snare(Mix& mix, Noise& noise, std::int64_t at, float gain)
{
    float previous = 0.0f;
    Decay rattle(0.11), tone(0.05);
    mix.add(at, SAMPLE_RATE * 3 / 10, gain, 0.1f, [&](std::int64_t i) {
        const double t = double(i) / SAMPLE_RATE;
        const float n = noise.next();
        const float bright = n - previous;
        previous = n;
        return float(0.55 * bright * rattle.next() + 0.6 * sine()(185.0 * t) * tone.next());
    });
}

void hat(Mix& mix, Noise& noise, std::int64_t at, float gain, bool open)
{
    float p1 = 0.0f, p2 = 0.0f;
    Decay decay(open ? 0.22 : 0.035);
    mix.add(at, open ? SAMPLE_RATE / 2 : SAMPLE_RATE / 10, gain, 0.35f, [&](std::int64_t) {
        const float n = noise.next();
        const float d1 = n - p1;
        const float d2 = d1 - p2;
        p1 = n;
        p2 = d1;
        return float(d2 * decay.next());
    });
}

// A round bass: sine, a little second harmonic, softly saturated.
void bass(Mix& mix, std::int64_t at, std::int64_t length, int note, float gain)
{
    const double hz = midiHz(note);
    Decay decay(1.2);
    mix.add(at, length, gain, 0.0f, [&](std::int64_t i) {
        const double t = double(i) / SAMPLE_RATE;
        const double attack = std::min(1.0, t / 0.006);
        const double release = std::min(1.0, double(length - i) / (0.03 * SAMPLE_RATE));
        const double v = sine()(hz * t) + 0.3 * sine()(2.0 * hz * t);
        return float(softClip(1.4 * v) * attack * release * decay.next());
    });
}

// Electric piano: fundamental, a fast-fading bell partial, a slow tremolo.
void piano(Mix& mix, std::int64_t at, std::int64_t length, int note, float gain, float pan)
{
    const double hz = midiHz(note);
    Decay body(1.6), bell(0.25), tine(0.05);
    mix.add(at, length, gain, pan, [&](std::int64_t i) {
        const double t = double(i) / SAMPLE_RATE;
        const double attack = std::min(1.0, t / 0.004);
        const double release = std::min(1.0, double(length - i) / (0.08 * SAMPLE_RATE));
        const double tremolo = 1.0 + 0.12 * sine()(4.5 * t);
        const double v = sine()(hz * t) * body.next() + 0.25 * sine()(3.0 * hz * t) * bell.next()
            + 0.08 * sine()(7.0 * hz * t) * tine.next();
        return float(v * tremolo * attack * release);
    });
}

// The lead: a soft square-ish tone with a delayed vibrato.
void lead(Mix& mix, std::int64_t at, std::int64_t length, int note, float gain)
{
    const double hz = midiHz(note);
    double phase = 0.0;
    mix.add(at, length, gain, -0.2f, [=, &phase](std::int64_t i) mutable {
        const double t = double(i) / SAMPLE_RATE;
        const double vibrato = 1.0 + 0.006 * std::min(1.0, t / 0.3) * sine()(5.5 * t);
        phase += hz * vibrato / SAMPLE_RATE;
        const double attack = std::min(1.0, t / 0.012);
        const double release = std::min(1.0, double(length - i) / (0.05 * SAMPLE_RATE));
        const double v = sine()(phase) + 0.28 * sine()(3.0 * phase) + 0.12 * sine()(5.0 * phase);
        return float(v * attack * release);
    });
}

// A slow swelling pad of detuned partials over one bar.
void pad(Mix& mix, std::int64_t at, int note, float gain, float pan)
{
    const double hz = midiHz(note);
    const std::int64_t length = SAMPLES_PER_BAR;
    mix.add(at, length, gain, pan, [=](std::int64_t i) {
        const double t = double(i) / SAMPLE_RATE;
        const double env = std::sin(PI * double(i) / double(length));
        return float(env * (sine()(hz * t) + sine()(hz * 1.004 * t) + 0.3 * sine()(2.0 * hz * 0.997 * t)) / 2.3);
    });
}

void drumBar(Mix& mix, Noise& noise, const Section& section, std::int64_t bar, bool lastOfSection)
{
    if (section.kick) {
        for (int step : {0, 7, 10})
            kick(mix, stepSample(bar, step), step == 0 ? 0.9f : 0.7f);
        if (lastOfSection)
            kick(mix, stepSample(bar, 14), 0.6f);
    }
    if (section.snare) {
        for (int step : {4, 12})
            snare(mix, noise, stepSample(bar, step), 0.5f);
        if (lastOfSection)
            snare(mix, noise, stepSample(bar, 15), 0.25f);
    }
    if (section.hats) {
        for (int step = 0; step < 16; ++step) {
            const bool open = step == 14 && (bar % 2) == 1;
            const float accent = (step % 4 == 0) ? 0.20f : (step % 2 == 0) ? 0.15f : 0.09f;
            hat(mix, noise, stepSample(bar, step), open ? 0.12f : accent, open);
        }
    }
}

void harmonyBar(Mix& mix, const Section& section, std::int64_t bar, int chord)
{
    const std::int64_t start = bar * SAMPLES_PER_BAR;
    if (section.chords) {
        for (int k = 0; k < 4; ++k) {
            const float pan = -0.4f + 0.27f * k;
            piano(mix, start + k * 90, SAMPLES_PER_BEAT * 5 / 2, VOICINGS[chord][k], 0.11f, pan);
            piano(mix, stepSample(bar, 10) + k * 60, SAMPLES_PER_BEAT * 3 / 2, VOICINGS[chord][k], 0.07f, pan);
        }
    }
    if (section.bass) {
        const int root = ROOTS[chord];
        bass(mix, start, SAMPLES_PER_BEAT * 5 / 4, root, 0.42f);
        bass(mix, stepSample(bar, 7), SIXTEENTH * 2, root, 0.30f);
        bass(mix, stepSample(bar, 10), SIXTEENTH * 3, root + 7, 0.34f);
        bass(mix, stepSample(bar, 14), SIXTEENTH * 2, root + 12, 0.28f);
    }
    if (section.arpeggio) {
        for (int step = 0; step < 16; step += 2)
            piano(mix, stepSample(bar, step), SIXTEENTH * 2, VOICINGS[chord][(step / 2) % 4] + 12, 0.05f,
                (step % 4) ? 0.6f : -0.6f);
    }
    if (section.pad) {
        for (int k = 0; k < 3; ++k)
            pad(mix, start, VOICINGS[chord][k], 0.05f, -0.5f + 0.5f * k);
    }
}

void hookBars(Mix& mix, std::int64_t bar)
{
    for (const Note& n : HOOK)
        lead(mix, stepSample(bar, n.step), std::int64_t(n.length) * SIXTEENTH - SWING, n.note, 0.14f);
}

// A soft noise swell into every section from the cave on.
void riser(Mix& mix, Noise& noise, std::int64_t sectionStart)
{
    const std::int64_t length = SAMPLES_PER_BEAT * 2;
    mix.add(sectionStart - length, length, 0.10f, 0.0f, [&](std::int64_t i) {
        const double u = double(i) / double(length);
        return float(noise.next() * u * u);
    });
}

// Peak-normalises, then rounds the peaks off (the kick's) so the body of the mix sits
// louder, and leaves headroom below full scale for the encoder.
void master(Mix& mix)
{
    float peak = 0.0f;
    for (std::size_t i = 0; i < mix.left.size(); ++i)
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    if (peak <= 0.0f)
        return;
    constexpr double DRIVE = 2.0;
    const double scale = DRIVE / peak;
    const double output = 0.8 / softClip(DRIVE);
    for (std::size_t i = 0; i < mix.left.size(); ++i) {
        mix.left[i] = float(softClip(mix.left[i] * scale) * output);
        mix.right[i] = float(softClip(mix.right[i] * scale) * output);
    }
}

// The intro's first bar fades in; the outro's last two bars fade out.
void fades(Mix& mix)
{
    const std::int64_t total = std::int64_t(mix.left.size());
    const std::int64_t fadeIn = SAMPLES_PER_BAR;
    const std::int64_t fadeOut = 2 * std::int64_t(SAMPLES_PER_BAR);
    for (std::int64_t i = 0; i < total; ++i) {
        float g = 1.0f;
        if (i < fadeIn)
            g = float(i) / float(fadeIn);
        if (i > total - fadeOut)
            g = std::min(g, float(total - i) / float(fadeOut));
        mix.left[i] *= g;
        mix.right[i] *= g;
    }
}

}

StereoPcm synthesiseSoundtrack()
{
    Mix mix;
    const std::int64_t total = std::int64_t(totalBars()) * SAMPLES_PER_BAR;
    mix.left.assign(total, 0.0f);
    mix.right.assign(total, 0.0f);
    Noise noise;
    for (int scene = 0; scene < SCENES; ++scene) {
        const Section& section = SECTIONS[scene];
        const int first = sceneStartBar(scene);
        if (scene >= 5)
            riser(mix, noise, std::int64_t(first) * SAMPLES_PER_BAR);
        for (int b = 0; b < sceneBars(scene); ++b) {
            const int bar = first + b;
            drumBar(mix, noise, section, bar, b == sceneBars(scene) - 1);
            harmonyBar(mix, section, bar, bar % 4);
            if (section.hook && bar % 4 == 0 && b + 1 < sceneBars(scene))
                hookBars(mix, bar);
        }
    }
    fades(mix);
    master(mix);
    StereoPcm pcm;
    pcm.sampleRate = SAMPLE_RATE;
    pcm.left = std::move(mix.left);
    pcm.right = std::move(mix.right);
    return pcm;
}
