#include "engine/material/Image.h"

#include "engine/material/BmpDecoder.h"
#include "engine/material/JpegDecoder.h"
#include "engine/material/TgaDecoder.h"
#include "engine/math/FileBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Returned by pixelAt when there is nothing to point into, so callers never get null.
std::uint8_t g_dummyPixel[4];

enum class ImageKind { Unknown, Jpeg, Bmp, Tga };

// Compares the last three characters of name with an extension, letter by letter
// against both cases (so "jPg" matches); no dot is required before them.
bool endsWith3(const char* name, std::size_t length, const char* upper, const char* lower)
{
    if (length < 3)
        return false;
    const char* tail = name + length - 3;
    for (int i = 0; i < 3; ++i) {
        if (tail[i] != upper[i] && tail[i] != lower[i])
            return false;
    }
    return true;
}

ImageKind kindOf(const char* name)
{
    if (!name)
        return ImageKind::Unknown;
    std::size_t length = std::strlen(name);
    if (endsWith3(name, length, "JPG", "jpg"))
        return ImageKind::Jpeg;
    if (endsWith3(name, length, "BMP", "bmp"))
        return ImageKind::Bmp;
    if (endsWith3(name, length, "TGA", "tga"))
        return ImageKind::Tga;
    return ImageKind::Unknown;
}

// 5-6-5 word <-> 8-bit components, for filling and averaging 16-bit images.
std::uint16_t pack565(unsigned r, unsigned g, unsigned b)
{
    return std::uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

void averageBlock16(const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* c,
                    const std::uint8_t* d, std::uint8_t* out)
{
    const std::uint8_t* src[4] = { a, b, c, d };
    unsigned r = 0, g = 0, bl = 0;
    for (const std::uint8_t* p : src) {
        unsigned word = unsigned(p[0]) | (unsigned(p[1]) << 8);
        r += word >> 11;
        g += (word >> 5) & 0x3F;
        bl += word & 0x1F;
    }
    unsigned word = ((r >> 2) << 11) | ((g >> 2) << 5) | (bl >> 2);
    out[0] = std::uint8_t(word);
    out[1] = std::uint8_t(word >> 8);
}

// One mip level from the level above: each pixel averages the 2 x 2 block it covers.
void halve(const std::uint8_t* src, std::uint32_t srcWidth, std::uint8_t* dst,
           std::uint32_t dstWidth, std::uint32_t dstHeight, std::uint32_t bytesPerPixel)
{
    std::size_t srcPitch = std::size_t(srcWidth) * bytesPerPixel;
    for (std::uint32_t y = 0; y < dstHeight; ++y) {
        const std::uint8_t* row0 = src + std::size_t(2 * y) * srcPitch;
        const std::uint8_t* row1 = row0 + srcPitch;
        std::uint8_t* out = dst + std::size_t(y) * dstWidth * bytesPerPixel;
        for (std::uint32_t x = 0; x < dstWidth; ++x) {
            const std::uint8_t* p00 = row0 + std::size_t(2 * x) * bytesPerPixel;
            const std::uint8_t* p10 = p00 + bytesPerPixel;
            const std::uint8_t* p01 = row1 + std::size_t(2 * x) * bytesPerPixel;
            const std::uint8_t* p11 = p01 + bytesPerPixel;
            if (bytesPerPixel == 2) {
                averageBlock16(p00, p10, p01, p11, out);
            } else {
                for (std::uint32_t k = 0; k < bytesPerPixel; ++k)
                    out[k] = std::uint8_t((p00[k] + p10[k] + p01[k] + p11[k]) >> 2);
            }
            out += bytesPerPixel;
        }
    }
}

}

std::uint8_t* Image::allocate(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel)
{
    pixels_.reset();
    mipLevels_.clear();
    levelCount_ = 0;
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    std::size_t size = byteSize();
    // Zeroed, so pixels a decoder does not write never show earlier memory.
    pixels_ = allocateZeroed(size);
    return pixels_.get();
}

void Image::fill(Color colour)
{
    if (!pixels_)
        return;
    std::uint8_t r = colour.r, g = colour.g, b = colour.b, a = colour.a;
    std::uint8_t pixel[4] = { r, g, b, a };
    if (bitsPerPixel_ == 16) {
        std::uint16_t word = pack565(r, g, b);
        pixel[0] = std::uint8_t(word);
        pixel[1] = std::uint8_t(word >> 8);
    }
    std::uint32_t step = bytesPerPixel();
    if (step == 0)
        return;
    std::uint8_t* end = pixels_.get() + byteSize();
    for (std::uint8_t* p = pixels_.get(); p < end; p += step)
        std::memcpy(p, pixel, step);
}

bool Image::load(const char* fileName)
{
    release();
    if (!fileName)
        return false;
    // The whole file through the current file system, so pictures may come from a
    // directory or a zip archive alike; the memory image goes with the buffer.
    FileBuffer file;
    if (!file.load(fileName))
        return false;
    return decode(fileName, file.data(), file.size());
}

bool Image::decode(const char* fileName, const std::uint8_t* data, std::size_t size)
{
    release();
    bool ok = false;
    switch (kindOf(fileName)) {
    case ImageKind::Jpeg: ok = decodeJpeg(data, size, *this); break;
    case ImageKind::Bmp: ok = decodeBmp(data, size, *this); break;
    case ImageKind::Tga: ok = decodeTga(data, size, *this); break;
    case ImageKind::Unknown: break;
    }
    if (!ok)
        release();
    return ok;
}

std::uint8_t* Image::pixelAt(std::uint32_t x, std::uint32_t y)
{
    if (!pixels_)
        return g_dummyPixel;
    return pixels_.get() + (std::size_t(x) + std::size_t(y) * width_) * bytesPerPixel();
}

const std::uint8_t* Image::pixelAt(std::uint32_t x, std::uint32_t y) const
{
    return const_cast<Image*>(this)->pixelAt(x, y);
}

void Image::swapRedBlue()
{
    if (!pixels_ || (bitsPerPixel_ != 24 && bitsPerPixel_ != 32))
        return;
    std::uint32_t step = bytesPerPixel();
    std::uint8_t* end = pixels_.get() + byteSize();
    for (std::uint8_t* p = pixels_.get(); p < end; p += step)
        std::swap(p[0], p[2]);
}

void Image::blit(int dstX, int dstY, const Image& source, int srcX, int srcY, int w, int h)
{
    std::uint32_t depth = source.bitsPerPixel_;
    if ((depth != 24 && depth != 32) || depth != bitsPerPixel_ || !pixels_ || !source.pixels_)
        return;
    // 64-bit arithmetic so that no argument can overflow the clipping sums.
    long long sx = srcX, sy = srcY, dx = dstX, dy = dstY, cw = w, ch = h;
    // A negative source position is clipped like a negative destination one.
    if (sx < 0) { cw += sx; dx -= sx; sx = 0; }
    if (sy < 0) { ch += sy; dy -= sy; sy = 0; }
    if (sx + cw > source.width_) cw = (long long)source.width_ - sx;
    if (sy + ch > source.height_) ch = (long long)source.height_ - sy;
    if (dx < 0) { cw += dx; sx -= dx; dx = 0; }
    if (dy < 0) { ch += dy; sy -= dy; dy = 0; }
    if (dx >= width_ || dy >= height_)
        return;
    if (dx + cw >= width_) cw = (long long)width_ - dx;
    if (dy + ch >= height_) ch = (long long)height_ - dy;
    if (cw <= 0 || ch <= 0)
        return;
    std::size_t bpp = depth / 8;
    std::size_t rowBytes = std::size_t(cw) * bpp;
    for (long long row = 0; row < ch; ++row) {
        const std::uint8_t* from = source.pixels_.get()
            + (std::size_t(sy + row) * source.width_ + std::size_t(sx)) * bpp;
        std::uint8_t* to = pixels_.get() + (std::size_t(dy + row) * width_ + std::size_t(dx)) * bpp;
        std::memmove(to, from, rowBytes);
    }
}

void Image::buildMipChain()
{
    mipLevels_.clear();
    levelCount_ = 0;
    if (!pixels_ || bytesPerPixel() == 0)
        return;
    std::uint32_t smaller = std::min(width_, height_);
    unsigned d = 0;
    while ((smaller >> (d + 1)) != 0)
        ++d;
    if (d == 0)
        return;
    const std::uint8_t* above = pixels_.get();
    for (unsigned i = 1; i <= d; ++i) {
        std::uint32_t w = levelWidth(i), h = levelHeight(i);
        std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[std::size_t(w) * h * bytesPerPixel()]);
        if (!buffer) {
            mipLevels_.clear();
            levelCount_ = 0;
            return;
        }
        halve(above, levelWidth(i - 1), buffer.get(), w, h, bytesPerPixel());
        above = buffer.get();
        mipLevels_.push_back(std::move(buffer));
    }
    levelCount_ = std::uint8_t(d + 1);
}

void Image::release()
{
    pixels_.reset();
    width_ = height_ = bitsPerPixel_ = 0;
    mipLevels_.clear();
    levelCount_ = 0;
}

const std::uint8_t* Image::level(unsigned index) const
{
    if (index == 0)
        return pixels_.get();
    if (index >= levelCount_)
        return nullptr;
    return mipLevels_[index - 1].get();
}
