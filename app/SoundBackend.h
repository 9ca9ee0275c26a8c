// What the sound table asks of an audio output: open it, tune it, decode a file into a
// sample handle and start a sample on a free channel. The table keeps names, slots and
// keys; a backend keeps the decoded sound. PlatformSoundBackend is the show's; tests
// substitute their own to count calls.
#pragma once

class SoundBackend {
public:
    virtual ~SoundBackend() = default;

    // Opens the output at rate Hz with channels mixing channels. Returns true on
    // success; on failure lastError() holds the SoundError code.
    virtual bool init(int rate, int channels) = 0;
    // SoundError code of the last failed call (SOUND_ERR_NONE when it succeeded).
    virtual int lastError() = 0;
    // Keeps channel out of the free-channel search (reserved true) or returns it.
    virtual void setReserved(int channel, bool reserved) = 0;
    // Distance attenuation factor, already clamped by the caller.
    virtual void setRolloffFactor(float factor) = 0;
    virtual void setDistanceFactor(float factor) = 0;
    // Volume of every channel, 0 .. 255.
    virtual void setMasterVolume(int volume) = 0;
    // Decodes a whole file. Returns a sample handle (>= 0), or -1 on failure.
    virtual int loadSample(const char* name, bool looping) = 0;
    // Starts a sample on a free channel. Returns the channel handle (>= 0) or -1.
    virtual int playSound(int sample) = 0;
    // Places a channel's sound; the show puts every sound at the origin, at the listener.
    virtual void setPosition(int channel, float x, float y, float z) = 0;
    // Distances (world units) over which a sample's volume falls off.
    virtual void setMinMaxDistance(int sample, float minimum, float maximum) = 0;
    virtual void setPaused(int channel, bool paused) = 0;
    // Plays what channel last played again from ms milliseconds into it (resumed if
    // paused; silent past its end). False when the channel has nothing to seek.
    virtual bool seekChannel(int channel, int ms) = 0;
};
