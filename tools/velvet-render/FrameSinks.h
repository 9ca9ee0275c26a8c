// Where rendered pictures go: the checks made on output folders and files before a run,
// and the folder of numbered frames. Frames are borrowed for the call.
#pragma once

#include "tools/velvet-render/RenderOptions.h"

#include <cstdint>
#include <string>

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
