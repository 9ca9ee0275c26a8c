// Where rendered frames go: numbered PPM pictures in a folder, or the ffmpeg command
// that encodes them into a video with the soundtrack. Each sink owns its files or its
// child process; frames are borrowed for the call.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

// Writes DIR/frame_00000.ppm, frame_00001.ppm, ... (binary P6).
class PpmFrameWriter {
public:
    // Creates dir when needed. False with error set when it cannot.
    bool open(const std::string& dir, std::string& error);
    // rgb: width * height * 3 bytes, top row first. False with error set on a write failure.
    bool write(const std::uint8_t* rgb, int width, int height, std::string& error);

private:
    std::string dir_;
    int next_ = 0;
};

// Pipes raw RGB frames to `ffmpeg`, which muxes them with the soundtrack (cut to the
// shorter of the two) into an H.264 + AAC file.
class VideoEncoder {
public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Starts ffmpeg. False with error set when ffmpeg is not on PATH or cannot start.
    bool open(const std::string& file, const std::string& soundtrack, int width, int height, int fps,
        std::string& error);
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
