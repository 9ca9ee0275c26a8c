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

// Writes bytes to path through a temporary file renamed into place, so a failure
// leaves no partial file. False (with errno's text in reason) when it cannot.
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& reason);
