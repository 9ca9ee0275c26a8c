// BinaryWriter: builds the bytes of the engine's packed little-endian formats (strings
// zero-terminated, int32, float, byte, bool, raw matrices) in memory. It owns its byte
// vector and knows no format; GeometryWriter and AnimationWriter give it structure.
#pragma once

#include "engine/math/Mat4.h"

#include <cstdint>
#include <string>
#include <vector>

class BinaryWriter {
public:
    // The text and its terminating zero byte.
    void putString(const std::string& text);
    void putInt(std::int32_t value);
    void putFloat(float value);
    void putByte(std::uint8_t value);
    void putBool(bool value) { putByte(value ? 1 : 0); }
    // The sixteen floats in storage order.
    void putMatrix(const Mat4& m);
    void putBytes(const void* bytes, std::size_t n);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }
    // Writes the bytes to a disk file (not through the engine's file systems, so tools
    // and tests can write anywhere). False when the file cannot be written whole.
    bool saveAs(const std::string& path) const;

private:
    std::vector<std::uint8_t> bytes_;
};
