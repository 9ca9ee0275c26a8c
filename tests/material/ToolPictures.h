// Pictures made and decoded by third-party tools (ImageMagick, cjpeg, djpeg) at test
// time, the comparison of a decoded Image with them, and a decoded Image's pixels.
#pragma once

#include "engine/material/Image.h"
#include "tests/support/Netpbm.h"

#include <cstdint>
#include <string>
#include <vector>

// Runs command (which writes Netpbm on standard output) and parses it; false on failure.
bool toolPicture(const std::string& command, NetpbmPicture& picture);

// Writes a deterministic 8-bit colour picture of width x height (a swirled gradient,
// every pixel different from its neighbours) to path as binary PPM.
bool makeSourcePpm(const std::string& path, int width, int height);

// Largest difference of any sample between image and picture. Grey pictures are
// compared with each of R, G, B; -1 when the sizes or layouts differ.
int largestDifference(const Image& image, const NetpbmPicture& picture);

// The pixels of a 24-bit image as 0xRRGGBB, top row first.
std::vector<std::uint32_t> rgbPixels(const Image& image);
