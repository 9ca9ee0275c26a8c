// The show's sound table: up to 4096 named sample slots over a SoundBackend, played on
// free channels under keys. Loading a name that is already in the table returns its
// slot; each key plays once per process. The table owns its names; the backend owns the
// decoded sound. Nothing is stopped or freed at exit. The free functions below work on
// the one process-wide table over the platform's audio output.
#pragma once

#include "app/SoundBackend.h"

#include <string>
#include <vector>

// Marks a free slot, and is what loadSample returns when the table is full.
constexpr int EMPTY_SLOT = 99999999;
constexpr int SOUND_SLOTS = 4096;
// Keys of the last play on each channel, indexed by channel number.
constexpr int CHANNEL_KEYS = 36;

class SoundSystem {
public:
    // The backend is not owned and must outlive the table.
    explicit SoundSystem(SoundBackend& backend);

    // Opens the output (44 100 Hz, 32 channels, channel 0 reserved); prints
    // "Init: <text>" when that fails and carries on. Frees every slot and forgets keys.
    void init();
    // Slot of name (an existing one when the name is loaded already), or EMPTY_SLOT when
    // the table is full. loop 1 repeats the sound for ever. A file that cannot be
    // decoded still takes a slot, which plays nothing.
    int loadSample(const char* name, int loop);
    // Plays slot under key on a free channel. Does nothing for an invalid slot, or when
    // key was used before (key 0 never plays).
    void playSample(int slot, int key);
    // True when slot is 0 .. 4095 and holds a decoded sample.
    bool isValidSlot(int slot) const;
    // Distance rolloff; factors above 10 become 10.
    void setRolloff(float factor);
    // Pauses or resumes the sound last played under key. Does nothing when none was.
    void pauseKey(int key, bool paused);
    // Plays the sound last played under key again from ms milliseconds into it (resumed
    // if paused). False when no sound was played under key or it cannot seek.
    bool seekKey(int key, int ms);

    int slotCount() const { return slotCount_; }
    // How many extra times slot's name was loaded again; 0 for a slot out of range.
    int slotUses(int slot) const;

private:
    // Sample handle stored in a slot whose file could not be decoded.
    static constexpr int FAILED_SAMPLE = -1;

    // Channel whose last play carried key; -1 when none did.
    int channelOfKey(int key) const;

    SoundBackend& backend_;
    std::vector<std::string> names_;
    std::vector<int> samples_;
    std::vector<int> uses_;
    int slotCount_ = 0;
    int channelKeys_[CHANNEL_KEYS] = {};
};

// The process-wide table over the platform's audio output.
SoundSystem& soundSystem();
void soundInit();
int loadSample(const char* name, int loop);
void playSample(int slot, int key);
bool isValidSlot(int slot);
void setRolloff(float factor);
