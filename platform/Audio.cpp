#include "platform/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {
namespace {

struct Sample {
    Mix_Chunk* chunk = nullptr;
    bool looping = false;
};

// What a channel plays: the sample last started on it and, after a seek, the chunk that
// views that sample's sound from the seek position (it borrows the sample's buffer).
struct ChannelSound {
    int sample = -1;
    Mix_Chunk* view = nullptr;
};

bool deviceOpen = false;
bool subsystemUp = false;
bool mixerInitialised = false;
std::vector<Sample> samples;
std::vector<ChannelSound> channels;
AudioStatus status = AudioStatus::Ok;
char errorText[256] = "";

// 1024 frames (about 23 ms at 44 100 Hz): short enough that a sound starts promptly.
constexpr int MIX_BUFFER_FRAMES = 1024;

void setStatus(AudioStatus s, const char* text)
{
    status = s;
    std::snprintf(errorText, sizeof errorText, "%s", text ? text : "");
}

void succeed()
{
    setStatus(AudioStatus::Ok, "");
}

bool fail(AudioStatus s)
{
    setStatus(s, SDL_GetError());
    return false;
}

bool requireOpen()
{
    if (deviceOpen)
        return true;
    setStatus(AudioStatus::NotOpen, "audio device not open");
    return false;
}

bool validSample(int handle)
{
    return handle >= 0 && static_cast<std::size_t>(handle) < samples.size()
        && samples[static_cast<std::size_t>(handle)].chunk != nullptr;
}

// Sorts a decoding failure by the mixer's message: it names unknown formats and memory.
AudioStatus loadFailureKind(const char* text)
{
    if (std::strstr(text, "Unrecognized") || std::strstr(text, "Unsupported")
        || std::strstr(text, "unknown") || std::strstr(text, "Unknown"))
        return AudioStatus::UnknownFormat;
    if (std::strstr(text, "memory"))
        return AudioStatus::OutOfMemory;
    return AudioStatus::LoadFailed;
}

bool validChannel(int channel)
{
    return channel >= 0 && channel < Mix_AllocateChannels(-1);
}

// Records what channel now plays; a view it played before is no longer in use (the
// mixer has switched to the new chunk) and is freed.
void recordChannel(int channel, int sample, Mix_Chunk* view)
{
    if (static_cast<std::size_t>(channel) >= channels.size())
        channels.resize(static_cast<std::size_t>(channel) + 1);
    ChannelSound& sound = channels[static_cast<std::size_t>(channel)];
    if (sound.view && sound.view != view)
        Mix_FreeChunk(sound.view); // frees the view only: QuickLoad chunks borrow their bytes
    sound.sample = sample;
    sound.view = view;
}

// Bytes of one sample frame of the open device (every channel of one instant).
int frameBytes()
{
    int rate = 0;
    Uint16 format = 0;
    int outputs = 0;
    if (Mix_QuerySpec(&rate, &format, &outputs) == 0)
        return 0;
    return SDL_AUDIO_BITSIZE(format) / 8 * outputs;
}

int deviceRate()
{
    int rate = 0;
    Uint16 format = 0;
    int outputs = 0;
    Mix_QuerySpec(&rate, &format, &outputs);
    return rate;
}

}

bool openAudio(int rate, int mixChannels)
{
    if (deviceOpen) {
        setStatus(AudioStatus::AlreadyOpen, "audio device already open");
        return false;
    }
    // The show routes SIGINT itself; SDL must not install its own handlers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return fail(AudioStatus::DeviceFailed);
    subsystemUp = true;
    bool mp3 = (Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) != 0;
    mixerInitialised = true;
    if (Mix_OpenAudio(rate, AUDIO_S16SYS, 2, MIX_BUFFER_FRAMES) != 0) {
        fail(AudioStatus::DeviceFailed);
        Mix_Quit();
        mixerInitialised = false;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemUp = false;
        return false;
    }
    deviceOpen = true;
    Mix_AllocateChannels(mixChannels);
    if (!mp3) {
        setStatus(AudioStatus::CodecMissing, "MP3 decoding is not available");
        return true;
    }
    succeed();
    return true;
}

void closeAudio()
{
    if (deviceOpen) {
        Mix_HaltChannel(-1);
        for (ChannelSound& c : channels)
            if (c.view)
                Mix_FreeChunk(c.view);
        channels.clear();
        for (Sample& s : samples)
            if (s.chunk)
                Mix_FreeChunk(s.chunk);
        samples.clear();
        Mix_CloseAudio();
        deviceOpen = false;
    }
    if (mixerInitialised) {
        Mix_Quit();
        mixerInitialised = false;
    }
    if (subsystemUp) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemUp = false;
    }
    succeed();
}

bool audioIsOpen()
{
    return deviceOpen;
}

AudioStatus lastAudioStatus()
{
    return status;
}

const char* lastAudioError()
{
    return errorText;
}

void reserveAudioChannels(int count)
{
    if (!requireOpen())
        return;
    Mix_ReserveChannels(count);
    succeed();
}

void setAudioMasterVolume(int volume)
{
    if (!requireOpen())
        return;
    if (volume < 0)
        volume = 0;
    if (volume > 255)
        volume = 255;
    Mix_Volume(-1, volume * MIX_MAX_VOLUME / 255);
    succeed();
}

int loadAudioSample(const char* path, bool looping)
{
    if (!requireOpen())
        return -1;
    if (!path) {
        setStatus(AudioStatus::FileNotFound, "no file name");
        return -1;
    }
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    if (!file) {
        fail(AudioStatus::FileNotFound);
        return -1;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 1);
    if (!chunk) {
        const char* text = SDL_GetError();
        setStatus(loadFailureKind(text), text);
        return -1;
    }
    samples.push_back(Sample{chunk, looping});
    succeed();
    return static_cast<int>(samples.size() - 1);
}

int playAudioSample(int sample)
{
    if (!requireOpen())
        return -1;
    if (!validSample(sample)) {
        setStatus(AudioStatus::BadHandle, "no such sample");
        return -1;
    }
    const Sample& s = samples[static_cast<std::size_t>(sample)];
    int channel = Mix_PlayChannel(-1, s.chunk, s.looping ? -1 : 0);
    if (channel < 0) {
        fail(AudioStatus::NoFreeChannel);
        return -1;
    }
    recordChannel(channel, sample, nullptr);
    succeed();
    return channel;
}

bool setAudioChannelPaused(int channel, bool paused)
{
    if (!requireOpen())
        return false;
    if (channel < 0 || channel >= Mix_AllocateChannels(-1)) {
        setStatus(AudioStatus::BadHandle, "no such channel");
        return false;
    }
    if (paused)
        Mix_Pause(channel);
    else
        Mix_Resume(channel);
    succeed();
    return true;
}

bool seekAudioChannel(int channel, int ms)
{
    if (!requireOpen())
        return false;
    const int sample = validChannel(channel) && static_cast<std::size_t>(channel) < channels.size()
        ? channels[static_cast<std::size_t>(channel)].sample
        : -1;
    if (!validSample(sample) || samples[static_cast<std::size_t>(sample)].looping) {
        setStatus(AudioStatus::BadHandle, "no one-shot sample on that channel");
        return false;
    }
    const Mix_Chunk* whole = samples[static_cast<std::size_t>(sample)].chunk;
    const std::int64_t frame = frameBytes();
    const std::int64_t offset = std::max<std::int64_t>(ms, 0) * deviceRate() / 1000 * frame;
    if (frame <= 0 || offset >= whole->alen) {
        Mix_HaltChannel(channel);
        recordChannel(channel, sample, nullptr);
        succeed();
        return true;
    }
    Mix_Chunk* view = Mix_QuickLoad_RAW(whole->abuf + offset, static_cast<Uint32>(whole->alen - offset));
    if (!view) {
        fail(AudioStatus::OutOfMemory);
        return false;
    }
    view->volume = whole->volume;
    if (Mix_PlayChannel(channel, view, 0) < 0) {
        Mix_FreeChunk(view);
        fail(AudioStatus::NoFreeChannel);
        return false;
    }
    Mix_Resume(channel);
    recordChannel(channel, sample, view);
    succeed();
    return true;
}

int playingAudioChannels()
{
    if (!deviceOpen)
        return 0;
    return Mix_Playing(-1);
}

}
