// Where rendered frames go: pictures in a folder, or the ffmpeg command that encodes them
// into a video with the soundtrack. Each sink owns its files or its child process;
// frames are borrowed for the call.
#pragma once

#include "tools/velvet-render/RenderOptions.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

// Creates dir (and its parents) when needed and makes sure a file can be written in it.
// False with error set when not.
bool prepareFolder(const std::string& dir, std::string& error);
// Whether prepareFolder(dir) can succeed, without creating anything: dir is a writable
// folder, or the nearest folder above it that exists is writable. False with error set
// when not.
bool checkFolderPossible(const std::string& dir, std::string& error);
// Makes sure file can be written (its folder exists and takes it), leaving no file
// behind that was not there. False with error set when not.
bool checkWritableFile(const std::string& file, std::string& error);

// Writes DIR/frame_NNNNN.ppm (or .png), numbered by the frame's place in the show.
class FrameFolderWriter {
public:
    // Creates dir when needed. False with error set when it cannot.
    bool open(const std::string& dir, PictureFormat format, std::string& error);
    // rgb: width * height * 3 bytes, top row first. False with error set on a write failure.
    bool write(long frame, const std::uint8_t* rgb, int width, int height, std::string& error);

private:
    std::string dir_;
    PictureFormat format_ = PictureFormat::Ppm;
};

// The part of the soundtrack that goes with the frames: where it starts and how long.
struct SoundSpan {
    double startSeconds = 0.0;
    double seconds = 0.0;
};

// Pipes raw RGB frames to `ffmpeg`, which muxes them with the soundtrack's span (ending
// where the frames end) into an H.264 + AAC file.
class VideoEncoder {
public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Starts ffmpeg. False with error set when ffmpeg is not on PATH or cannot start.
    bool open(const std::string& file, const std::string& soundtrack, const SoundSpan& span, int width, int height,
        int fps, std::string& error);
    // False with error set when ffmpeg stopped reading (it says why on standard error).
    bool write(const std::uint8_t* rgb, int width, int height, std::string& error);
    // Ends the input and waits for ffmpeg. False with error set when it failed.
    bool close(std::string& error);

private:
    pid_t child_ = -1;
    int pipe_ = -1;
};

// The full path of program on PATH, or empty.
std::string findOnPath(const std::string& program);
