#include "app/PlatformSoundBackend.h"

#include "app/SoundError.h"
#include "platform/Audio.h"

namespace {

int codeOf(platform::AudioStatus status)
{
    using platform::AudioStatus;
    switch (status) {
    case AudioStatus::Ok: return SOUND_ERR_NONE;
    case AudioStatus::NotOpen: return SOUND_ERR_UNINITIALIZED;
    case AudioStatus::AlreadyOpen: return SOUND_ERR_BUSY;
    case AudioStatus::DeviceFailed: return SOUND_ERR_INIT;
    case AudioStatus::CodecMissing: return SOUND_ERR_MEDIAPLAYER;
    case AudioStatus::FileNotFound: return SOUND_ERR_FILE_NOT_FOUND;
    case AudioStatus::UnknownFormat: return SOUND_ERR_FILE_FORMAT;
    case AudioStatus::LoadFailed: return SOUND_ERR_FILE_BAD;
    case AudioStatus::OutOfMemory: return SOUND_ERR_MEMORY;
    case AudioStatus::NoFreeChannel: return SOUND_ERR_CHANNEL_ALLOC;
    case AudioStatus::BadHandle: return SOUND_ERR_INVALID_PARAM;
    }
    return SOUND_ERR_INVALID_PARAM;
}

}

void PlatformSoundBackend::takeStatus()
{
    lastError_ = codeOf(platform::lastAudioStatus());
}

bool PlatformSoundBackend::init(int rate, int channels)
{
    platform::openAudio(rate, channels);
    takeStatus();
    // An open device that cannot decode MP3 still counts as a failure worth reporting.
    return lastError_ == SOUND_ERR_NONE;
}

void PlatformSoundBackend::setReserved(int channel, bool reserved)
{
    // The mixer reserves a prefix of its channels; the show only ever reserves channel 0.
    platform::reserveAudioChannels(reserved ? channel + 1 : channel);
    takeStatus();
}

void PlatformSoundBackend::setMasterVolume(int volume)
{
    platform::setAudioMasterVolume(volume);
    takeStatus();
}

int PlatformSoundBackend::loadSample(const char* name, bool looping)
{
    int handle = platform::loadAudioSample(name, looping);
    takeStatus();
    return handle;
}

int PlatformSoundBackend::playSound(int sample)
{
    int channel = platform::playAudioSample(sample);
    takeStatus();
    return channel;
}

void PlatformSoundBackend::setPaused(int channel, bool paused)
{
    platform::setAudioChannelPaused(channel, paused);
    takeStatus();
}

bool PlatformSoundBackend::seekChannel(int channel, int ms)
{
    bool done = platform::seekAudioChannel(channel, ms);
    takeStatus();
    return done;
}
