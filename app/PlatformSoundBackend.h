// The show's sound output on the platform's audio layer (SDL2_mixer). The mixer has no
// distance model: position, distances and rolloff are kept for the callers but change
// nothing audible, and the show's only sound sits at the listener anyway. Failures of
// the platform are mapped onto the closest SoundError code.
#pragma once

#include "app/SoundBackend.h"

class PlatformSoundBackend : public SoundBackend {
public:
    bool init(int rate, int channels) override;
    int lastError() override { return lastError_; }
    void setReserved(int channel, bool reserved) override;
    void setRolloffFactor(float factor) override { rolloff_ = factor; }
    void setDistanceFactor(float factor) override { distanceFactor_ = factor; }
    void setMasterVolume(int volume) override;
    int loadSample(const char* name, bool looping) override;
    int playSound(int sample) override;
    void setPosition(int, float, float, float) override {}
    void setMinMaxDistance(int, float, float) override {}
    void setPaused(int channel, bool paused) override;
    bool seekChannel(int channel, int ms) override;

    float rolloffFactor() const { return rolloff_; }
    float distanceFactor() const { return distanceFactor_; }

private:
    void takeStatus();

    int lastError_ = 0;
    float rolloff_ = 1.0f;
    float distanceFactor_ = 1.0f;
};
