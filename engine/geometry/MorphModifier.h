// MorphModifier: per-vertex keyframe animation of a Geometry's item meshes. Every
// update writes into an item mesh the positions and normals interpolated between two
// frames of its track, picked by a clock on the program's millisecond tick counter
// (platform::tickCountMs, which follows the virtual clock when one is set). It owns its
// tracks and the per-item boxes; the target arrays belong to the Geometry.
#pragma once

#include "engine/geometry/Bounds.h"
#include "engine/geometry/MorphTrack.h"

#include <cstdint>
#include <memory>
#include <vector>

class FileBuffer;
class VertexArray;

class MorphModifier {
public:
    // Reads a "QZMORPHMODIFIER" block (tracks and parameters). False on a wrong tag, a
    // bad count, a track that fails to read or data that ends early.
    bool read(FileBuffer& file, bool keepColourOrder);
    // Reads the MORPH PARAMETERS record: frameCount and duration. False on data that
    // ends early or a negative frame count.
    bool readParameters(FileBuffer& file);
    // Starts the clock on first use, then picks currentFrame, nextFrame and fraction.
    void tick();
    // tick, then target = frames[current] blended towards frames[next] by fraction
    // (positions and normals); then the item's box from target's positions. An item
    // without a track, or a track too short for the clock's frames, leaves target as it
    // is (its box is still recomputed).
    void update(std::uint32_t item, VertexArray& target);
    // Sizes the track and box lists to n empty tracks and zero boxes.
    void resize(std::uint32_t n);

    float clockStart = 0.0f;  // tick count in ms when started; exactly 0 = not started
    float duration = 0.0f;    // seconds
    std::uint32_t frameCount = 0;
    std::uint32_t currentFrame = 0;
    std::uint32_t nextFrame = 0;
    float fraction = 0.0f;
    std::vector<std::unique_ptr<MorphTrack>> tracks;
    std::vector<Bounds> itemBounds;
};
