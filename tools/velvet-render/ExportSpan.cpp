#include "tools/velvet-render/ExportSpan.h"

#include <algorithm>
#include <cmath>

FrameSpan exportSpan(const RenderOptions& options, const std::vector<std::int32_t>& sceneChanges)
{
    std::int64_t toMs = options.toMs;
    if (toMs < 0 && options.seconds > 0.0)
        toMs = options.fromMs + std::llround(options.seconds * 1000.0);
    if (toMs < 0)
        toMs = (sceneChanges.empty() ? 0 : std::max<std::int64_t>(sceneChanges.back(), 0)) + TAIL_MS;
    FrameSpan span;
    span.first = options.fromMs * options.fps / 1000;
    span.end = std::max(span.first + 1, (toMs * options.fps + 999) / 1000);
    return span;
}

FrameSpan segmentOf(const FrameSpan& span, int k, int n)
{
    FrameSpan part;
    part.first = span.first + span.frames() * (k - 1) / n;
    part.end = span.first + span.frames() * k / n;
    return part;
}

SoundSpan soundOf(const FrameSpan& frames, int fps)
{
    SoundSpan sound;
    sound.startSeconds = double(microsecondsAt(frames.first, fps)) / 1e6;
    sound.seconds = double(microsecondsAt(frames.end, fps) - microsecondsAt(frames.first, fps)) / 1e6;
    return sound;
}

std::int64_t microsecondsAt(std::int64_t frame, int fps)
{
    return (frame * 1000000 + fps / 2) / fps;
}
