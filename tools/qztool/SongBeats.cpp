#include "tools/qztool/SongBeats.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr uint_t WINDOW = 2048;
constexpr uint_t HOP = 512;
// Kicks and bass notes sit below this; the bar's first beat usually carries the strongest.
constexpr double LOW_CUTOFF_HZ = 150.0;

template <typename T, void (*Delete)(T*)>
struct AubioDeleter {
    void operator()(T* object) const { Delete(object); }
};
template <typename T, void (*Delete)(T*)>
using AubioPtr = std::unique_ptr<T, AubioDeleter<T, Delete>>;

using Samples = AubioPtr<fvec_t, del_fvec>;
using Spectrum = AubioPtr<cvec_t, del_cvec>;
using Tempo = AubioPtr<aubio_tempo_t, del_aubio_tempo>;
using Onset = AubioPtr<aubio_onset_t, del_aubio_onset>;
using PhaseVocoder = AubioPtr<aubio_pvoc_t, del_aubio_pvoc>;
using Descriptor = AubioPtr<aubio_specdesc_t, del_aubio_specdesc>;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// Calls step(hopOfSamples) for each whole hop of the song, in order.
template <typename Step>
void forEachHop(const SongAudio& song, fvec_t* hop, Step step)
{
    for (std::size_t at = 0; at + HOP <= song.mono.size(); at += HOP) {
        std::copy_n(song.mono.begin() + std::ptrdiff_t(at), HOP, hop->data);
        step();
    }
}

void track(const SongAudio& song, aubio_tempo_t* tempo, fvec_t* hop, SongBeats& beats)
{
    Samples found(new_fvec(2));
    std::vector<double> bpms;
    forEachHop(song, hop, [&] {
        aubio_tempo_do(tempo, hop, found.get());
        if (found->data[0] == 0)
            return;
        beats.beatMs.push_back(aubio_tempo_get_last_ms(tempo));
        if (aubio_tempo_get_bpm(tempo) > 0)
            bpms.push_back(aubio_tempo_get_bpm(tempo));
    });
    beats.trackerBpm = median(bpms);
}

void detectOnsets(const SongAudio& song, aubio_onset_t* onset, fvec_t* hop, SongBeats& beats)
{
    Samples found(new_fvec(1));
    forEachHop(song, hop, [&] {
        aubio_onset_do(onset, hop, found.get());
        if (found->data[0] != 0)
            beats.onsetMs.push_back(aubio_onset_get_last_ms(onset));
    });
}

// Spectral flux of the bins below LOW_CUTOFF_HZ, one value per hop.
void lowBandFlux(const SongAudio& song, aubio_pvoc_t* vocoder, aubio_specdesc_t* flux, fvec_t* hop, SongBeats& beats)
{
    Spectrum spectrum(new_cvec(WINDOW));
    Samples value(new_fvec(1));
    const uint_t lowBins = uint_t(LOW_CUTOFF_HZ * WINDOW / song.sampleRate) + 1;
    beats.lowFrameMs = 1000.0 * HOP / song.sampleRate;
    beats.lowFirstMs = 1000.0 * (double(HOP) - WINDOW / 2.0) / song.sampleRate;
    forEachHop(song, hop, [&] {
        aubio_pvoc_do(vocoder, hop, spectrum.get());
        std::fill(spectrum->norm + std::min(lowBins, spectrum->length), spectrum->norm + spectrum->length, 0.0f);
        aubio_specdesc_do(flux, spectrum.get(), value.get());
        beats.lowFlux.push_back(std::max(0.0f, value->data[0]));
    });
}

}

float SongBeats::lowStrengthNear(double timeMs, double radiusMs) const
{
    if (lowFrameMs <= 0.0)
        return 0.0f;
    const double from = std::ceil((timeMs - radiusMs - lowFirstMs) / lowFrameMs);
    const double to = std::floor((timeMs + radiusMs - lowFirstMs) / lowFrameMs);
    float strongest = 0.0f;
    for (double i = std::max(0.0, from); i <= to && i < double(lowFlux.size()); ++i)
        strongest = std::max(strongest, lowFlux[std::size_t(i)]);
    return strongest;
}

bool detectSongBeats(const SongAudio& song, SongBeats& beats, std::string& reason)
{
    beats = SongBeats{};
    const uint_t rate = uint_t(song.sampleRate);
    Samples hop(new_fvec(HOP));
    Tempo tempo(new_aubio_tempo("default", WINDOW, HOP, rate));
    Onset onset(new_aubio_onset("specflux", WINDOW, HOP, rate));
    PhaseVocoder vocoder(new_aubio_pvoc(WINDOW, HOP));
    Descriptor flux(new_aubio_specdesc("specflux", WINDOW));
    if (!hop || !tempo || !onset || !vocoder || !flux) {
        reason = "aubio cannot analyse audio at " + std::to_string(song.sampleRate) + " Hz";
        return false;
    }
    track(song, tempo.get(), hop.get(), beats);
    detectOnsets(song, onset.get(), hop.get(), beats);
    lowBandFlux(song, vocoder.get(), flux.get(), hop.get(), beats);
    return true;
}
