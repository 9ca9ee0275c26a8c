#include "app/Sound.h"

#include "app/PlatformSoundBackend.h"
#include "app/SoundError.h"
#include "engine/core/Console.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int MIXING_RATE = 44100;
constexpr int MIXING_CHANNELS = 32;
constexpr float MAX_ROLLOFF = 10.0f;
constexpr float MIN_DISTANCE = 1.0f;
constexpr float MAX_DISTANCE = 1000000000.0f;

}

SoundSystem::SoundSystem(SoundBackend& backend)
    : backend_(backend)
    , names_(SOUND_SLOTS)
    , samples_(SOUND_SLOTS, EMPTY_SLOT)
    , uses_(SOUND_SLOTS, 0)
{
}

void SoundSystem::init()
{
    if (!backend_.init(MIXING_RATE, MIXING_CHANNELS))
        consolePrintf("Init: %s\n", soundErrorText(backend_.lastError()));
    std::fill(uses_.begin(), uses_.end(), 0);
    std::fill(samples_.begin(), samples_.end(), EMPTY_SLOT);
    std::fill(std::begin(channelKeys_), std::end(channelKeys_), 0);
    setRolloff(2.0f);
    backend_.setReserved(0, true);
    backend_.setDistanceFactor(1.0f);
    backend_.setMasterVolume(255);
}

int SoundSystem::loadSample(const char* name, int loop)
{
    if (!name)
        return EMPTY_SLOT;
    for (int i = 0; i < slotCount_; ++i) {
        if (samples_[i] != EMPTY_SLOT && names_[i] == name) {
            ++uses_[i];
            return i;
        }
    }
    int slot = slotCount_;
    for (int i = 0; i < slotCount_; ++i) {
        if (samples_[i] == EMPTY_SLOT) {
            slot = i;
            break;
        }
    }
    if (slot >= SOUND_SLOTS)
        return EMPTY_SLOT;
    slotCount_ = std::min(slotCount_ + 1, SOUND_SLOTS);

    int handle = backend_.loadSample(name, loop == 1);
    names_[slot] = name;
    samples_[slot] = handle >= 0 ? handle : FAILED_SAMPLE;
    return slot;
}

bool SoundSystem::isValidSlot(int slot) const
{
    return slot >= 0 && slot < SOUND_SLOTS && slot != EMPTY_SLOT
        && samples_[slot] != EMPTY_SLOT && samples_[slot] != FAILED_SAMPLE;
}

void SoundSystem::playSample(int slot, int key)
{
    if (!isValidSlot(slot))
        return;
    if (std::find(std::begin(channelKeys_), std::end(channelKeys_), key) != std::end(channelKeys_))
        return;
    int sample = samples_[slot];
    int channel = backend_.playSound(sample);
    // No channel was free: there is nothing to place, key or resume.
    if (channel < 0)
        return;
    backend_.setPosition(channel, 0.0f, 0.0f, 0.0f);
    backend_.setMinMaxDistance(sample, MIN_DISTANCE, MAX_DISTANCE);
    int index = channel & 0xFFF;
    if (index < CHANNEL_KEYS)
        channelKeys_[index] = key;
    backend_.setPaused(channel, false);
}

void SoundSystem::setRolloff(float factor)
{
    backend_.setRolloffFactor(std::min(factor, MAX_ROLLOFF));
}

int SoundSystem::channelOfKey(int key) const
{
    // Key 0 marks a channel that never played.
    if (key == 0)
        return -1;
    const int* found = std::find(std::begin(channelKeys_), std::end(channelKeys_), key);
    return found == std::end(channelKeys_) ? -1 : static_cast<int>(found - std::begin(channelKeys_));
}

void SoundSystem::pauseKey(int key, bool paused)
{
    const int channel = channelOfKey(key);
    if (channel >= 0)
        backend_.setPaused(channel, paused);
}

bool SoundSystem::seekKey(int key, int ms)
{
    const int channel = channelOfKey(key);
    return channel >= 0 && backend_.seekChannel(channel, ms);
}

int SoundSystem::slotUses(int slot) const
{
    return slot >= 0 && slot < SOUND_SLOTS ? uses_[slot] : 0;
}

SoundSystem& soundSystem()
{
    static PlatformSoundBackend backend;
    static SoundSystem system(backend);
    return system;
}

void soundInit()
{
    soundSystem().init();
}

int loadSample(const char* name, int loop)
{
    return soundSystem().loadSample(name, loop);
}

void playSample(int slot, int key)
{
    soundSystem().playSample(slot, key);
}

bool isValidSlot(int slot)
{
    return soundSystem().isValidSlot(slot);
}

void setRolloff(float factor)
{
    soundSystem().setRolloff(factor);
}
