#include "tools/qztool/BeatGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double PI = 3.14159265358979323846;
// The tracker's tempo is trusted to within this fraction; the period search covers it.
constexpr double TEMPO_SEARCH = 0.05;
constexpr double TEMPO_STEP = 0.0001;
// How far an onset may sit from a beat and still count as on it, in the first look.
constexpr double ONSET_KERNEL_MS = 15.0;
// The tracker's fitted period is trusted to within this fraction when the onsets place it.
constexpr double ONSET_PERIOD_SEARCH = 0.01;
constexpr double ONSET_PERIOD_STEP = 0.00005;
// Fewer beats than this make no grid.
constexpr std::size_t MIN_BEATS = 8;
// The tracker keeps to one level (beat, not half beat) when this share of its beats does.
constexpr double LEVEL_SHARE = 0.75;

// Beats at originMs + k * periodMs for every integer k.
struct Line {
    double originMs = 0.0;
    double periodMs = 0.0;

    double at(long k) const { return originMs + double(k) * periodMs; }
    long indexOf(double timeMs) const { return std::lround((timeMs - originMs) / periodMs); }
    double bpm() const { return 60000.0 / periodMs; }
};

long positiveModulo(long value, long modulus)
{
    return ((value % modulus) + modulus) % modulus;
}

// The period near guessMs at which the times line up best (their phases on the circle
// of one period agree most), and the phase they agree on. Needs no beat numbering, so
// missed or extra beats cannot throw it off by a whole beat.
Line coherentLine(const std::vector<double>& times, double guessMs)
{
    Line best{0.0, guessMs};
    double bestLength = -1.0;
    for (double f = 1.0 - TEMPO_SEARCH; f <= 1.0 + TEMPO_SEARCH; f += TEMPO_STEP) {
        const double period = guessMs * f;
        double c = 0.0, s = 0.0;
        for (double t : times) {
            c += std::cos(2.0 * PI * t / period);
            s += std::sin(2.0 * PI * t / period);
        }
        if (std::hypot(c, s) > bestLength) {
            bestLength = std::hypot(c, s);
            best = Line{std::atan2(s, c) / (2.0 * PI) * period, period};
        }
    }
    return best;
}

// Least squares of time = origin + k * period over the times within window (a fraction
// of the period) of a beat, repeated as the line moves. fit receives the last pass's
// distances. The line is kept when fewer than two times match.
Line fitLine(const std::vector<double>& times, Line line, double window, BeatGridFit& fit)
{
    for (int pass = 0; pass < 4; ++pass) {
        double n = 0, sk = 0, st = 0, skk = 0, skt = 0;
        std::vector<double> distances;
        for (double t : times) {
            const long k = line.indexOf(t);
            if (std::fabs(t - line.at(k)) > window * line.periodMs)
                continue;
            distances.push_back(std::fabs(t - line.at(k)));
            n += 1;
            sk += double(k);
            st += t;
            skk += double(k) * double(k);
            skt += double(k) * t;
        }
        const double det = n * skk - sk * sk;
        if (distances.size() < 2 || det <= 0.0)
            return line;
        std::sort(distances.begin(), distances.end());
        fit = BeatGridFit{int(distances.size()), distances[distances.size() / 2], distances.back()};
        const double period = (n * skt - sk * st) / det;
        line = Line{(st - period * sk) / n, period};
    }
    return line;
}

struct Shift {
    double ms = 0.0;
    double score = 0.0;
};

// The shift within a quarter beat that puts the most times on the line's beats, each
// counting less the farther it sits, up to ONSET_KERNEL_MS. A histogram of 1 ms bins
// keeps it cheap enough to try hundreds of periods.
Shift densestShift(const std::vector<double>& times, const Line& line)
{
    const int reach = int(line.periodMs / 4.0);
    const int kernel = int(ONSET_KERNEL_MS);
    std::vector<int> bins(std::size_t(2 * (reach + kernel) + 1), 0);
    for (double t : times) {
        const long offset = std::lround(t - line.at(line.indexOf(t)));
        if (std::labs(offset) <= reach + kernel)
            ++bins[std::size_t(offset + reach + kernel)];
    }
    Shift best;
    for (int shift = -reach; shift <= reach; ++shift) {
        double score = 0.0;
        for (int d = -kernel + 1; d < kernel; ++d)
            score += bins[std::size_t(shift + d + reach + kernel)] * (1.0 - std::abs(d) / double(kernel));
        if (score > best.score)
            best = Shift{double(shift), score};
    }
    return best;
}

// The line near the given one (period within ONSET_PERIOD_SEARCH, turned about the middle
// of the times, shifted by at most a quarter beat) on which the most times gather. A
// tracker that drifts leaves its line tens of milliseconds off the attacks; the off-beat
// attacks half a beat away stay out of reach.
Line densestLine(const std::vector<double>& times, const Line& line)
{
    if (times.empty())
        return line;
    const long pivot = line.indexOf(times[times.size() / 2]);
    Line best = line;
    double bestScore = -1.0;
    for (double f = 1.0 - ONSET_PERIOD_SEARCH; f <= 1.0 + ONSET_PERIOD_SEARCH; f += ONSET_PERIOD_STEP) {
        Line candidate{line.at(pivot) - double(pivot) * line.periodMs * f, line.periodMs * f};
        const Shift shift = densestShift(times, candidate);
        if (shift.score > bestScore) {
            bestScore = shift.score;
            best = Line{candidate.originMs + shift.ms, candidate.periodMs};
        }
    }
    return best;
}

// Share of the times on the more common of the line's even and odd beats.
double parityShare(const std::vector<double>& times, const Line& line)
{
    std::size_t odd = 0;
    for (double t : times)
        odd += std::size_t(positiveModulo(line.indexOf(t), 2));
    const std::size_t even = times.size() - odd;
    return times.empty() ? 0.0 : double(std::max(odd, even)) / double(times.size());
}

// The residue modulo modulus whose beats carry the most low-frequency onset strength
// over the song: the kick's beats.
long strongestResidue(const SongBeats& heard, const Line& line, long modulus, double songMs)
{
    std::vector<double> sums(std::size_t(modulus), 0.0);
    for (long k = line.indexOf(0.0); line.at(k) <= songMs; ++k)
        sums[std::size_t(positiveModulo(k, modulus))] += heard.lowStrengthNear(line.at(k), line.periodMs / 8.0);
    return long(std::max_element(sums.begin(), sums.end()) - sums.begin());
}

// Half and double tempo folded into the range: a slower grid keeps every other beat,
// the one whose beats hit harder. False when the range holds no fold of the tempo.
bool foldIntoRange(const SongBeats& heard, double songMs, const BeatGridOptions& options, Line& line)
{
    while (line.bpm() > options.maxBpm)
        line = Line{line.at(strongestResidue(heard, line, 2, songMs)), 2.0 * line.periodMs};
    while (line.bpm() < options.minBpm)
        line.periodMs /= 2.0;
    return line.bpm() <= options.maxBpm;
}

std::string bpmText(double bpm)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", bpm);
    return text;
}

}

double BeatGrid::nearestBeatMs(double timeMs) const
{
    return firstBarMs + std::round((timeMs - firstBarMs) / beatMs) * beatMs;
}

std::vector<double> BeatGrid::beatsUntil(double endMs) const
{
    std::vector<double> beats;
    if (beatMs <= 0.0)
        return beats;
    for (double t = firstBarMs - std::floor((firstBarMs + beatMs / 8.0) / beatMs) * beatMs; t <= endMs; t += beatMs)
        beats.push_back(t);
    return beats;
}

namespace {

// The beat line from the tracker's beats, its tempo folded into the range. False with
// reason when too few beats were heard or no fold of the tempo fits the range.
bool trackerLine(const SongBeats& heard, double songMs, const BeatGridOptions& options, Line& line,
    BeatGridFit& fit, std::string& reason)
{
    if (heard.beatMs.size() < MIN_BEATS || heard.trackerBpm <= 0.0) {
        reason = "too few beats heard (" + std::to_string(heard.beatMs.size()) + "): the song needs a steady beat";
        return false;
    }
    // Trackers wander between the beat and its half: fit the half-beat grid that holds both.
    line = fitLine(heard.beatMs, coherentLine(heard.beatMs, 30000.0 / heard.trackerBpm), 0.25, fit);
    // Beats mostly on every other half beat: the tracker kept to the beat, whose half of
    // the grid the kick tells.
    if (parityShare(heard.beatMs, line) >= LEVEL_SHARE)
        line = Line{line.at(strongestResidue(heard, line, 2, songMs)), 2.0 * line.periodMs};
    const double heardBpm = line.bpm();
    if (!foldIntoRange(heard, songMs, options, line)) {
        reason = "no tempo between " + bpmText(options.minBpm) + " and " + bpmText(options.maxBpm)
            + " BPM fits the beats heard (" + bpmText(heardBpm) + " BPM, or half or double it)";
        return false;
    }
    line = fitLine(heard.beatMs, line, 0.125, fit);
    return true;
}

// The onsets on the beat place it to a few milliseconds: the line is moved to where they
// gather (never as far as the half beat, where off-beat attacks gather) and fitted to
// those close to it, so attacks just before or after a beat do not pull it. The line
// stays when too few onsets fall on its beats.
Line onsetLine(const SongBeats& heard, const Line& line, BeatGridFit& fit)
{
    BeatGridFit onsetFit;
    const Line refined = fitLine(heard.onsetMs, densestLine(heard.onsetMs, line), 0.0625, onsetFit);
    if (onsetFit.beats < int(MIN_BEATS))
        return line;
    fit = onsetFit;
    return refined;
}

}

bool fitBeatGrid(const SongBeats& heard, double songMs, const BeatGridOptions& options, BeatGrid& grid,
    std::string& reason)
{
    grid = BeatGrid{};
    Line line;
    BeatGridFit fit;
    if (!trackerLine(heard, songMs, options, line, fit, reason))
        return false;
    line = onsetLine(heard, line, fit);

    const long bar = std::max(1, options.beatsPerBar);
    const long downbeat = options.downbeatGiven ? positiveModulo(line.indexOf(options.downbeatMs), bar)
                                                : strongestResidue(heard, line, bar, songMs);
    // The first bar line at the start, or just before it when the song starts on one.
    const long start = long(std::ceil((-line.periodMs / 8.0 - line.originMs) / line.periodMs));
    grid.beatMs = line.periodMs;
    grid.beatsPerBar = int(bar);
    grid.firstBarMs = line.at(start + positiveModulo(downbeat - start, bar));
    grid.downbeatGiven = options.downbeatGiven;
    grid.fit = fit;
    return true;
}
