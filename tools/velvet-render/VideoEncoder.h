// Rendered frames encoded into a video by the ffmpeg command, piped as raw RGB: with the
// soundtrack's span muxed in, or alone (a segment, to be joined). The file appears under
// its name only once ffmpeg finished it; an encoder closed early or destroyed leaves
// nothing there. It owns the ffmpeg process and the temporary file; frames are borrowed
// for the call.
#pragma once

#include "tools/velvet-render/ExportSpan.h"
#include "tools/velvet-render/Ffmpeg.h"
#include "tools/velvet-render/PartialFile.h"

#include <cstdint>
#include <memory>
#include <string>

struct VideoFormat {
    int width = 0;
    int height = 0;
    int fps = 0;
    bool lossless = false;
};

class VideoEncoder {
public:
    // Starts ffmpeg on file. soundtrack empty: the video alone. False with error set when
    // ffmpeg is not on PATH or cannot start.
    bool open(const std::string& file, const VideoFormat& format, const std::string& soundtrack,
        const SoundSpan& sound, std::string& error);
    // One frame of format's size (width * height * 3 bytes, top row first). False with
    // error set when ffmpeg stopped reading (it says why on standard error).
    bool write(const std::uint8_t* rgb, std::string& error);
    // Ends the input, waits for ffmpeg and gives the file its name. False with error set
    // when ffmpeg failed: nothing is left under the file's name then.
    bool close(std::string& error);

private:
    // Declared first, removed last: ffmpeg is stopped before its file goes.
    std::unique_ptr<PartialFile> partial_;
    ToolProcess ffmpeg_;
    std::size_t frameBytes_ = 0;
};
