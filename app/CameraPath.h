// A timed list of camera placements read from a plain-text path file, replayed into the
// scene camera on the path's own clock; the same object records the free camera into
// "New.txt" and smooths a path file with a moving average. It owns its keys and its
// recording stream; it does not own the camera or decide the mode (the camera modes do).
//
// Path file: records of seven whitespace-separated integers: time in milliseconds, then
// translation x, y, z and angles pitch, yaw, roll, each times 10000 truncated toward 0.
#pragma once

#include "engine/core/Stopwatch.h"
#include "engine/math/Vec3.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PathKey {
    std::int32_t time = 0; // milliseconds on the path's clock
    Vec3 translation;      // the camera's x, y, z (the eye negated)
    Vec3 angles;           // pitch, yaw, roll in degrees
};

// Who moves the camera while this path's scene is on.
enum CameraMode {
    MODE_FREE = 0,
    MODE_RECORDING = 1,
    MODE_PLAYING = 2,
    MODE_SMOOTHING = 4,
};

class CameraPath {
public:
    CameraPath() = default;
    ~CameraPath();
    CameraPath(const CameraPath&) = delete;
    CameraPath& operator=(const CameraPath&) = delete;

    // Reads name's keys and starts playback from the first key (mode 2, clock idle).
    // durationMs > 0 scales time so the third key from the end comes durationMs after the
    // start; 0 plays in recorded time. False when the file cannot be opened: it says so
    // on the console, the path has no keys and the time scale is 1.
    bool load(const char* name, int durationMs);
    // One playback step: the placement for the clock's time. Past the end of the keys it
    // holds the next-to-last key and hands over to the free camera (mode 0). A path with
    // no keys leaves the outputs unchanged and hands over at once.
    void play(Vec3& translation, Vec3& angles);

    // Back to the start of playback, keys kept: first key, clock idle, mode 2. A
    // recording in progress is closed first. For a show that replays itself from its start.
    void rewind();

    // Starts recording into "New.txt" (created or truncated); mode 1; the clock starts
    // at the first recorded key. False when the file cannot be created.
    bool startRecording();
    // Appends one key at the clock's time; written through at once. Does nothing when no
    // recording is open.
    void recordKey(const Vec3& translation, const Vec3& angles);
    void stopRecording();
    bool recording() const { return recordFile_ != nullptr; }

    // Replaces the path file (name, or the path's own file when null) by its moving
    // average over windowSize records, dropping the last record. The new file is written
    // beside the old one and renamed over it, so a failed write keeps the old path.
    // Always ends in mode 0. False when nothing was rewritten. The keys in memory stay.
    bool smooth(int windowSize, const char* name = nullptr);

    int mode = MODE_FREE;

    const std::vector<PathKey>& keys() const { return keys_; }
    // The file last loaded or recorded; empty before either.
    const std::string& fileName() const { return fileName_; }
    float timeScale() const { return timeScale_; }
    std::uint32_t keyIndex() const { return keyIndex_; }

private:
    void readKeys(std::FILE* file);

    Stopwatch clock_;
    float timeScale_ = 1.0f;
    std::FILE* recordFile_ = nullptr;
    std::uint32_t keyIndex_ = 0;
    std::string fileName_;
    std::vector<PathKey> keys_;
};
