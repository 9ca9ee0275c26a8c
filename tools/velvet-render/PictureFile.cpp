#include "tools/velvet-render/PictureFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool writePpm(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::size_t size = std::size_t(width) * std::size_t(height) * 3;
    const bool ok = std::fprintf(file, "P6\n%d %d\n255\n", width, height) > 0
        && std::fwrite(rgb, 1, size, file) == size;
    if (std::fclose(file) != 0 || !ok) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool writePng(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb, width * 3, nullptr)) {
        error = "cannot write " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}

const char* pictureExtension(PictureFormat format)
{
    return format == PictureFormat::Png ? "png" : "ppm";
}

bool writePicture(const std::string& path, PictureFormat format, const std::uint8_t* rgb, int width, int height,
    std::string& error)
{
    return format == PictureFormat::Png ? writePng(path, rgb, width, height, error)
                                        : writePpm(path, rgb, width, height, error);
}
