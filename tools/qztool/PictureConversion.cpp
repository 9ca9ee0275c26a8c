#include "tools/qztool/PictureConversion.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

// libjpeg's error exit must not return: it jumps back to encodeJpeg, which gives up.
void jpegFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->escape, 1);
}

}

bool decodePng(const std::string& bytes, RgbPicture& picture, std::string& reason)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        reason = image.message;
        return false;
    }
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        reason = image.message;
        png_image_free(&image);
        return false;
    }
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb.resize(std::size_t(image.width) * image.height * 3);
    picture.hadAlpha = false;
    for (std::size_t i = 0, n = std::size_t(image.width) * image.height; i < n; ++i) {
        for (int c = 0; c < 3; ++c)
            picture.rgb[3 * i + std::size_t(c)] = rgba[4 * i + std::size_t(c)];
        picture.hadAlpha = picture.hadAlpha || (alpha && rgba[4 * i + 3] != 255);
    }
    return true;
}

bool encodeJpeg(const RgbPicture& picture, std::string& bytes)
{
    bytes.clear();
    if (picture.width == 0 || picture.height == 0 || picture.rgb.size() != std::size_t(picture.width) * picture.height * 3)
        return false;
    jpeg_compress_struct info {};
    JpegFailure failure {};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpegFailed;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(failure.escape)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = picture.width;
    info.image_height = picture.height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    // Full-resolution colour: textures often paint bands a few pixels wide, which halved
    // chroma would smear into their neighbours.
    info.comp_info[0].h_samp_factor = 1;
    info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&picture.rgb[std::size_t(info.next_scanline) * picture.width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    bytes.assign(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return true;
}
