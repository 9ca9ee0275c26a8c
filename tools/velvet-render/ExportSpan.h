// Which frames an export covers: the span of the show the options ask for (--from, then
// --to, --seconds or the last scene change plus a tail), the part of it one segment
// renders (--segment K/N), and the soundtrack that goes with a span. Arithmetic only.
#pragma once

#include "tools/velvet-render/RenderOptions.h"

#include <cstdint>
#include <vector>

// Frame numbers [first, end) of a run at the export's rate, counted from the show's start.
struct FrameSpan {
    std::int64_t first = 0;
    std::int64_t end = 0;

    std::int64_t frames() const { return end - first; }
};

// The part of the soundtrack that goes with some frames: where it starts and how long.
struct SoundSpan {
    double startSeconds = 0.0;
    double seconds = 0.0;
};

// What the show shows after its last scene change when no end is given.
constexpr std::int64_t TAIL_MS = 10000;

// The span the options ask for; sceneChanges are the show's sync times (milliseconds).
// Never empty: at least one frame.
FrameSpan exportSpan(const RenderOptions& options, const std::vector<std::int32_t>& sceneChanges);
// Part k (1..n) of n: the frames [first + frames * (k - 1) / n, first + frames * k / n),
// so the n parts in order are the span, each frame once. Empty when n exceeds the span's
// frames.
FrameSpan segmentOf(const FrameSpan& span, int k, int n);
// The soundtrack under frames at fps frames per second.
SoundSpan soundOf(const FrameSpan& frames, int fps);
// How long the frames [0, frame) last at fps, in whole microseconds (rounded): the
// joins of segments fall on these, so their lengths add up with no drift.
std::int64_t microsecondsAt(std::int64_t frame, int fps);
