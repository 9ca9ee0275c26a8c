#include "engine/geometry/MorphModifier.h"

#include "engine/geometry/GeometryChunks.h"
#include "engine/geometry/VertexArray.h"
#include "engine/math/FileBuffer.h"
#include "platform/TimeSource.h"

#include <cmath>
#include <cstring>

using namespace vertexformat;

void MorphModifier::resize(std::uint32_t n)
{
    tracks.clear();
    for (std::uint32_t i = 0; i < n; ++i)
        tracks.push_back(std::make_unique<MorphTrack>());
    itemBounds.assign(n, Bounds());
}

bool MorphModifier::read(FileBuffer& file, bool keepColourOrder)
{
    if (std::strcmp(file.readString(), "QZMORPHMODIFIER") != 0)
        return false;
    file.readInt();
    std::int32_t count = file.readInt();
    // A track is at least its tag, two reserved ints and its frame count.
    constexpr std::uint32_t kMinTrackBytes = 6 + 12;
    if (file.overrun() || count < 0 || std::uint64_t(count) * kMinTrackBytes > file.remaining())
        return false;
    resize(std::uint32_t(count));
    for (auto& track : tracks) {
        if (!readMulvaChunk(file, *track, keepColourOrder))
            return false;
    }
    return readParameters(file);
}

bool MorphModifier::readParameters(FileBuffer& file)
{
    file.readInt();
    std::int32_t frames = file.readInt();
    file.readInt();  // a parameter playback does not use
    float seconds = file.readFloat();
    file.readInt();
    file.readInt();
    file.readInt();
    if (file.overrun() || frames < 0)
        return false;
    frameCount = std::uint32_t(frames);
    duration = seconds;
    return true;
}

void MorphModifier::tick()
{
    const float now = float(platform::tickCountMs());
    if (clockStart == 0.0f) {
        clockStart = now;
        currentFrame = 0;
    }
    if (frameCount == 0) {
        currentFrame = nextFrame = 0;
        fraction = 0.0f;
        return;
    }
    // The frame period is duration / (frameCount + 1), not duration / frameCount.
    double position = double((now - clockStart) * 0.001f) / double(duration / float(frameCount + 1));
    if (!std::isfinite(position) || position < 0.0)
        position = 0.0;  // a zero or negative duration stands on frame 0
    double whole = std::floor(position);
    currentFrame = std::uint32_t(std::fmod(whole, double(frameCount)));
    nextFrame = currentFrame + 1 < frameCount ? currentFrame + 1 : 0;
    fraction = float(position - whole);
}

void MorphModifier::update(std::uint32_t item, VertexArray& target)
{
    tick();
    if (item < tracks.size()) {
        const MorphTrack& track = *tracks[item];
        if (currentFrame < track.frames.size() && nextFrame < track.frames.size())
            target.interpolate(track.frames[currentFrame], track.frames[nextFrame], fraction, Position | Normal);
    }
    if (item < itemBounds.size())
        itemBounds[item].fromPositions(target);
}
