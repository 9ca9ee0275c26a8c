#include "tools/datagen/ImageEncoders.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

bool valid(const RgbImage& image, int channels)
{
    return image.width > 0 && image.height > 0 && image.channels == channels
        && image.pixels.size() == std::size_t(image.width) * image.height * channels;
}

bool validRgbOrRgba(const RgbImage& image)
{
    return valid(image, 3) || valid(image, 4);
}

void put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// libjpeg reports fatal errors through a callback that must not return; datagen's
// pictures are made in this process, so a failure here is a programming error.
void jpegFatal(j_common_ptr info)
{
    (*info->err->output_message)(info);
    std::fprintf(stderr, "datagen: JPEG encoding failed\n");
    std::exit(1);
}

}

std::vector<unsigned char> encodeJpeg(const RgbImage& image, int quality)
{
    if (!valid(image, 3) || quality < 1 || quality > 100)
        return {};
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    error.error_exit = jpegFatal;
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Same bytes on every run: no timestamps, optimised tables computed from the pixels.
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.at(0, static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<unsigned char> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

std::vector<unsigned char> encodeBmp24(const RgbImage& image)
{
    if (!valid(image, 3))
        return {};
    const std::uint32_t rowBytes = (std::uint32_t(image.width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * std::uint32_t(image.height);
    std::vector<unsigned char> out;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + pixelBytes); // file size
    put32(out, 0);               // reserved
    put32(out, 54);              // pixel offset
    put32(out, 40);              // BITMAPINFOHEADER
    put32(out, std::uint32_t(image.width));
    put32(out, std::uint32_t(image.height)); // positive: bottom-up
    put16(out, 1);                           // planes
    put16(out, 24);
    put32(out, 0); // BI_RGB
    put32(out, pixelBytes);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (std::uint32_t pad = std::uint32_t(image.width) * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

std::vector<unsigned char> encodeTga(const RgbImage& image)
{
    if (!validRgbOrRgba(image) || image.width > 0xFFFF || image.height > 0xFFFF)
        return {};
    std::vector<unsigned char> out;
    out.reserve(18 + image.pixels.size());
    out.push_back(0); // no image id
    out.push_back(0); // no colour map
    out.push_back(2); // uncompressed true colour
    for (int i = 0; i < 5; ++i)
        out.push_back(0); // colour map specification
    put16(out, 0);        // x origin
    put16(out, 0);        // y origin
    put16(out, unsigned(image.width));
    put16(out, unsigned(image.height));
    out.push_back(static_cast<unsigned char>(image.channels * 8));
    out.push_back(image.channels == 4 ? 8 : 0); // alpha bits; origin bottom-left
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            if (image.channels == 4)
                out.push_back(p[3]);
        }
    return out;
}
