#include "tools/qztool/SongAudio.h"

#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

struct HandleCloser {
    void operator()(mpg123_handle* handle) const
    {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Handle = std::unique_ptr<mpg123_handle, HandleCloser>;

// Float samples at any rate the decoder knows, mono or stereo as the stream has them.
bool acceptFloatOutput(mpg123_handle* handle, std::string& reason)
{
    mpg123_format_none(handle);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        if (mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK) {
            reason = std::string("the decoder cannot give float samples: ") + mpg123_strerror(handle);
            return false;
        }
    return true;
}

// Without the encoder's gapless note the decoder cannot trim the codec's delay: LAME's
// usual 576 samples and the layer III decoder's 529. Taking them off puts the music on the
// time line it was encoded from, as a tagged file decodes.
constexpr std::size_t UNTAGGED_LAYER3_DELAY = 576 + 529;

bool hasUntrimmedDelay(mpg123_handle* handle)
{
    long delay = -1;
    double unused = 0.0;
    mpg123_frameinfo info{};
    if (mpg123_info(handle, &info) != MPG123_OK || info.layer != 3)
        return false;
    return mpg123_getstate(handle, MPG123_ENC_DELAY, &delay, &unused) != MPG123_OK || delay < 0;
}

// Appends frames of interleaved samples, the channels averaged.
void appendMono(const float* samples, std::size_t count, int channels, std::vector<float>& mono)
{
    if (channels == 1) {
        mono.insert(mono.end(), samples, samples + count);
        return;
    }
    for (std::size_t i = 0; i + 1 < count; i += 2)
        mono.push_back(0.5f * (samples[i] + samples[i + 1]));
}

// Opens path for decoding and reads its first frame's format. False with reason for a
// file that cannot be opened or holds no MPEG audio.
bool openSong(mpg123_handle* handle, const std::string& path, int& rate, int& channels, std::string& reason)
{
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (!probe || std::filesystem::is_directory(path)) {
        reason = probe ? "a folder, not a song" : std::string("cannot open: ") + std::strerror(errno);
        if (probe)
            std::fclose(probe);
        return false;
    }
    std::fclose(probe);
    if (mpg123_open(handle, path.c_str()) != MPG123_OK) {
        reason = std::string("cannot open: ") + mpg123_strerror(handle);
        return false;
    }
    long streamRate = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &streamRate, &channels, &encoding) != MPG123_OK) {
        reason = "no MPEG audio found in the file";
        return false;
    }
    rate = int(streamRate);
    return true;
}

// Decodes to the end, the channels mixed to one.
bool readSamples(mpg123_handle* handle, int channels, std::vector<float>& mono, std::string& reason)
{
    float block[8192];
    for (;;) {
        std::size_t bytes = 0;
        const int status = mpg123_read(handle, reinterpret_cast<unsigned char*>(block), sizeof block, &bytes);
        appendMono(block, bytes / sizeof(float), channels, mono);
        if (status == MPG123_DONE)
            return true;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) {
            reason = std::string("decoding failed: ") + mpg123_strerror(handle);
            return false;
        }
    }
}

}

bool decodeSong(const std::string& path, SongAudio& song, std::string& reason)
{
    song = SongAudio{};
    int error = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &error));
    if (!handle) {
        reason = std::string("the MP3 decoder could not start: ") + mpg123_plain_strerror(error);
        return false;
    }
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    int channels = 0;
    if (!acceptFloatOutput(handle.get(), reason) || !openSong(handle.get(), path, song.sampleRate, channels, reason)
        || !readSamples(handle.get(), channels, song.mono, reason))
        return false;
    if (hasUntrimmedDelay(handle.get()))
        song.mono.erase(song.mono.begin(), song.mono.begin() + std::ptrdiff_t(std::min(song.mono.size(), UNTAGGED_LAYER3_DELAY)));
    if (song.mono.empty()) {
        reason = "no MPEG audio found in the file";
        return false;
    }
    return true;
}
