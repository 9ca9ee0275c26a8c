// Netpbm output for qztool's image commands: binary PPM (P6), PGM (P5) and PAM (P7).
// It only formats bytes and writes a finished file; it decodes nothing.
#pragma once

#include <cstdint>
#include <string>

class Image;

// The Netpbm file for image, top row first: P6 for 24 bits, P7 RGB_ALPHA for 32, P5 for
// 8, and P6 with the 5-6-5 words widened to 8 bits per component for 16. Empty when the
// image is empty or of another depth.
std::string encodePnm(const Image& image);

// A P6 file of width x rows R, G, B pixels stored rows packed; bottomUp reverses the
// rows so that the file still starts with the top one.
std::string encodePpm(const std::uint8_t* rgb, std::uint32_t width, std::uint32_t rows, bool bottomUp);
