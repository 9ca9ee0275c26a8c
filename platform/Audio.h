// The sound output: one mixed stereo device and a table of decoded samples, on
// SDL2_mixer. It owns the device, the decoded samples and SDL's audio subsystem; it
// knows nothing of slots, names or keys (the show's sound table keeps those). Every call
// is safe before openAudio: it fails with AudioStatus::NotOpen and touches nothing.
#pragma once

namespace platform {

// Why the last audio call failed (Ok when it did not).
enum class AudioStatus {
    Ok,
    NotOpen,       // the device is not open
    AlreadyOpen,   // openAudio on an open device
    DeviceFailed,  // the audio subsystem or the device could not be opened
    CodecMissing,  // the device is open but MP3 cannot be decoded
    FileNotFound,  // the sample file cannot be opened
    UnknownFormat, // the file is not a sound format the mixer decodes
    LoadFailed,    // the file was recognised but could not be decoded
    OutOfMemory,
    NoFreeChannel, // every unreserved mixing channel is busy
    BadHandle,     // a sample handle or channel that does not exist
};

// Opens the device at rate Hz, 16-bit stereo, with mixChannels mixing channels, and
// enables MP3 decoding. True when the device is open; on CodecMissing the device is open
// too (true) but MP3 files will fail to load. False on failure (see lastAudioStatus).
bool openAudio(int rate, int mixChannels);
// Stops every channel, frees every sample and closes the device; handles become invalid.
void closeAudio();
bool audioIsOpen();

// The status of the last call and the library's own text for it ("" when none).
AudioStatus lastAudioStatus();
const char* lastAudioError();

// Keeps channels 0 .. count - 1 out of the free-channel search.
void reserveAudioChannels(int count);
// Volume of every channel, 0 (silent) .. 255 (full).
void setAudioMasterVolume(int volume);

// Decodes the whole file into memory. Returns a sample handle (>= 0), or -1 on failure.
// looping samples repeat for ever once played. The sample is owned by the audio layer.
int loadAudioSample(const char* path, bool looping);
// Starts the sample on a free unreserved channel, from its beginning. Returns the
// channel number (>= 0), or -1 on failure.
int playAudioSample(int sample);
// Pauses or resumes a channel. False for a channel that does not exist.
bool setAudioChannelPaused(int channel, bool paused);
// Plays the sample last started on channel again from ms milliseconds into it, on the
// same channel (resumed if it was paused); past its end the channel falls silent. Only
// for samples that do not loop. False (BadHandle) for a channel that never played, or a
// looping sample.
bool seekAudioChannel(int channel, int ms);
// Number of channels playing now (paused ones included).
int playingAudioChannels();

}
