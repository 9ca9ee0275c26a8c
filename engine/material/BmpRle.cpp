#include "engine/material/BmpRle.h"

namespace {

// Where the next pixel goes; only places inside the picture reach the sink.
class RleCanvas {
public:
    RleCanvas(std::uint32_t width, std::uint32_t rows, BmpRleSink& sink) : width_(width), rows_(rows), sink_(sink) {}

    bool put(std::uint8_t index)
    {
        bool taken = x_ >= width_ || y_ >= rows_ || sink_.put(x_, y_, index);
        ++x_;
        return taken;
    }
    void endLine() { x_ = 0; ++y_; }
    void move(std::uint32_t dx, std::uint32_t dy) { x_ += dx; y_ += dy; }
    bool finished() const { return y_ >= rows_; }

private:
    std::uint32_t width_, rows_;
    std::uint32_t x_ = 0, y_ = 0;
    BmpRleSink& sink_;
};

// The n-th index of a run or literal: bytes for 8 bits, alternating nibbles for 4.
inline std::uint8_t nthIndex(const std::uint8_t* bytes, std::size_t n, std::uint32_t bitCount)
{
    if (bitCount == 8)
        return bytes[n];
    std::uint8_t b = bytes[n / 2];
    return (n & 1) ? (b & 0x0F) : (b >> 4);
}

}

bool expandBmpRle(const std::uint8_t* data, std::size_t size, std::uint32_t width, std::uint32_t rows,
                  std::uint32_t bitCount, BmpRleSink& sink)
{
    if (bitCount != 8 && bitCount != 4)
        return false;
    RleCanvas canvas(width, rows, sink);
    std::size_t pos = 0;
    while (!canvas.finished()) {
        if (size - pos < 2)
            return false;
        std::uint8_t count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            // An encoded run: for 4 bits the byte holds two alternating indices.
            for (std::size_t n = 0; n < count; ++n) {
                if (!canvas.put(bitCount == 8 ? value : ((n & 1) ? (value & 0x0F) : (value >> 4))))
                    return false;
            }
            continue;
        }
        if (value == 0) {
            canvas.endLine();
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (size - pos < 2)
                return false;
            canvas.move(data[pos], data[pos + 1]);
            pos += 2;
        } else {
            // A literal run of value indices, padded to a 16-bit boundary.
            std::size_t bytes = bitCount == 8 ? value : (std::size_t(value) + 1) / 2;
            std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (size - pos < bytes)
                return false;
            for (std::size_t n = 0; n < value; ++n) {
                if (!canvas.put(nthIndex(data + pos, n, bitCount)))
                    return false;
            }
            pos += padded < size - pos ? padded : size - pos;
        }
    }
    return true;
}
