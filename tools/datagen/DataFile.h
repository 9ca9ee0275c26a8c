// Writing one file of the data folder: whole or not at all. Every generator of datagen
// hands its bytes or its pictures here; it owns no data.
#pragma once

#include "tools/datagen/ImageEncoders.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// Writes bytes to dir/name through a temporary file renamed over it, so a reader never
// sees half a file. False (with a message on standard error) on failure.
bool writeDataFile(const std::filesystem::path& dir, const std::string& name, const void* bytes, std::size_t size);
bool writeDataFile(const std::filesystem::path& dir, const std::string& name, const std::string& text);
bool writeDataFile(const std::filesystem::path& dir, const std::string& name, const std::vector<unsigned char>& bytes);

// JPEG quality of the pictures and textures, and of pictures whose flat colours must
// come out as drawn (the tone ramps).
constexpr int JPEG_QUALITY = 90;
constexpr int EXACT_JPEG_QUALITY = 100;
// Writes image encoded by the name's extension: ".jpg" at jpegQuality, ".bmp" (24 bits)
// or ".tga". False with a message on failure.
bool writePictureFile(const std::filesystem::path& dir, const std::string& name, const RgbImage& image,
    int jpegQuality = JPEG_QUALITY);
