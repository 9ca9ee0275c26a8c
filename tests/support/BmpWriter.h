// Writes small uncompressed 24-bit BMP files for tests that load pictures by name.
#pragma once

#include <cstdint>
#include <string>

// A width x height BMP whose every pixel is (r, g, b); returns the file's bytes.
std::string solidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);
