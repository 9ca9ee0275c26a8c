// The join of a span's segments, rendered apart (other processes, other machines) with
// --segment K/N, into one video: each segment checked (size, rate, frame count of its
// part), the video streams put end to end by ffmpeg's concat demuxer without re-encoding,
// and the span's soundtrack encoded once (here, or beforehand while the segments render)
// and muxed in. It owns nothing beyond the call;
// the output appears only when complete.
#pragma once

#include "tools/velvet-render/ExportSpan.h"
#include "tools/velvet-render/VideoEncoder.h"

#include <functional>
#include <string>
#include <vector>

struct JoinRequest {
    std::string segmentDir; // its *.mp4 files, in name order, are the segments 1..N
    std::string output;
    std::string soundtrack;        // the show's music, cut and encoded by the join
    std::string encodedSoundtrack; // or, when not empty, what encodeSoundtrack made of it
    FrameSpan span;
    VideoFormat format;
};

// The segment files of dir in name order (what a run killed outright left under a
// temporary name is not one). Empty with error set when there are none.
std::vector<std::string> segmentFiles(const std::string& dir, std::string& error);

// Encodes the span sound of soundtrack alone into output, as a video's soundtrack is
// encoded. stop as for joinSegments. False with error set when it failed or was stopped:
// nothing is left under the output's name then.
bool encodeSoundtrack(const std::string& output, const std::string& soundtrack, const SoundSpan& sound,
    const std::function<bool()>& stop, std::string& error);

// Joins them into request.output. stop is asked now and then while ffmpeg works: when it
// says so, the join ends. False with error set (naming the segment at fault, when one
// is) when the join failed or was stopped: nothing is left under the output's name then.
bool joinSegments(const JoinRequest& request, const std::function<bool()>& stop, std::string& error);
