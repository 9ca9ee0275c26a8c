#include "platform/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {
namespace {

struct Sample {
    Mix_Chunk* chunk = nullptr;
    bool looping = false;
};

bool deviceOpen = false;
bool subsystemUp = false;
bool mixerInitialised = false;
std::vector<Sample> samples;
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

int playingAudioChannels()
{
    if (!deviceOpen)
        return 0;
    return Mix_Playing(-1);
}

}
