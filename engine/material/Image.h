// Image: decoded pixels in memory, with the CPU operations textures need (fill, blit,
// red/blue exchange, a software mip chain). Rows are stored top row first and packed
// without gaps. Layouts by depth: 8 = one byte; 16 = one little-endian 5-6-5 word (red
// in the top five bits); 24 = R, G, B; 32 = R, G, B, A.
// It owns its pixel and mip buffers. It knows nothing of OpenGL: textures (Texture,
// GLTexture) read an Image; decoding of files lives in the decoders (JpegDecoder,
// BmpDecoder, TgaDecoder) that load() picks by file name.
#pragma once

#include "engine/material/ZeroedBytes.h"
#include "engine/math/Color.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Image {
public:
    Image() = default;
    Image(Image&&) noexcept = default;
    Image& operator=(Image&&) noexcept = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Frees the old pixels (and any mip chain built from them), records the size and
    // depth and allocates width * (bitsPerPixel / 8) * height bytes, zeroed. Returns the
    // buffer (owned by the image); null when the size is 0 or memory runs out.
    std::uint8_t* allocate(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel);

    // Writes colour into every pixel in the layout of the image's depth (8: its red
    // byte; 16: 5-6-5). Does nothing when there are no pixels.
    void fill(Color colour);
    // The same with the colour given packed, 0xAARRGGBB.
    void fill(std::uint32_t packedArgb) { fill(Color::fromPacked(packedArgb)); }

    // Reads the whole file through the current file system and decodes it by the last
    // three characters of the name (JPG, BMP, TGA in any letter case). False when the
    // file cannot be read, the ending is unknown or the data is refused; the image is
    // then empty (bitsPerPixel 0).
    bool load(const char* fileName);

    // Decodes size bytes at data as load() does after reading the file (name chooses
    // the decoder). False leaves the image empty. The bytes are not kept.
    bool decode(const char* fileName, const std::uint8_t* data, std::size_t size);

    // Address of pixel (x, y); no bounds check. With no pixels, a shared dummy pixel.
    std::uint8_t* pixelAt(std::uint32_t x, std::uint32_t y);
    const std::uint8_t* pixelAt(std::uint32_t x, std::uint32_t y) const;

    // Exchanges bytes 0 and 2 of every pixel for 24 and 32 bits; other depths unchanged.
    void swapRedBlue();

    // Copies a w by h rectangle of source at (srcX, srcY) to (dstX, dstY), clipped to
    // both images. Only 24- and 32-bit sources are copied, and only into an image of the
    // same depth; anything else copies nothing.
    void blit(int dstX, int dstY, const Image& source, int srcX, int srcY, int w, int h);

    // Builds levels 1..d (d = floor(log2(min(width, height)))), each half the size of the
    // one above, every pixel the average of the 2 x 2 block it covers. Replaces an
    // earlier chain; does nothing for an empty image, when d is 0 or memory runs out.
    void buildMipChain();

    // Frees pixels and mip levels; the image becomes empty (all sizes 0).
    void release();

    std::uint8_t* pixels() { return pixels_.get(); }
    const std::uint8_t* pixels() const { return pixels_.get(); }
    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::uint32_t bitsPerPixel() const { return bitsPerPixel_; }
    std::uint32_t bytesPerPixel() const { return bitsPerPixel_ / 8; }
    std::size_t byteSize() const { return std::size_t(width_) * bytesPerPixel() * height_; }
    bool empty() const { return bitsPerPixel_ == 0; }

    // Levels including level 0; 0 when no chain was built.
    std::uint8_t levelCount() const { return levelCount_; }
    // Pixels of mip level (0 = pixels()); null for a level that does not exist.
    const std::uint8_t* level(unsigned index) const;
    // Size of mip level index: the level-0 size halved index times.
    std::uint32_t levelWidth(unsigned index) const { return index < 32 ? width_ >> index : 0; }
    std::uint32_t levelHeight(unsigned index) const { return index < 32 ? height_ >> index : 0; }

private:
    ZeroedBytes pixels_;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint32_t bitsPerPixel_ = 0;
    std::vector<std::unique_ptr<std::uint8_t[]>> mipLevels_;
    std::uint8_t levelCount_ = 0;
};
