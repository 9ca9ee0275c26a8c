// The particle sprite's bitmap loader: a Windows device-independent bitmap read straight
// from the operating system's file system (not the engine's file systems), converted to
// 24-bit R, G, B. Reads every bitmap the shared layout reader takes (BmpFormat: 1- to
// 32-bit, run-length, bit fields; core and information headers), with or without the
// 14-byte "BM" file header. Problems are shown in a message box captioned "Error"
// (standard error when there is no display).
// It does not make textures; the particle code uploads the pixels itself.
#pragma once

#include "engine/material/ZeroedBytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

struct DibImage {
    std::int32_t width = 0;   // pixels per row
    std::int32_t height = 0;  // as in the file's header: negative for a top-down bitmap
    // width * abs(height) * 3 bytes, R, G, B, rows packed without padding, in the
    // file's row order (bottom row first for an ordinary bottom-up bitmap).
    ZeroedBytes pixels;

    std::size_t byteSize() const;
};

// Loads fileName. Null after showing the message that says why: "Failed to open DIB
// file %s.\n", "Unknown DIB file format.", "Out of memory." (also for a picture over the
// picture bound of PictureBound.h, refused before anything of its size is allocated) or
// "Image file conversion error." (also for a pixel that indexes past the palette). The
// caller owns the record.
std::unique_ptr<DibImage> loadDib(const char* fileName);

// The same over a file's bytes already in memory (size bytes at data), with the same
// messages except the one about opening.
std::unique_ptr<DibImage> decodeDib(const std::uint8_t* data, std::size_t size);
