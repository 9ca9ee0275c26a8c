#include "tests/material/ToolPictures.h"

#include "tests/support/ScratchDir.h"

#include <algorithm>
#include <cstdlib>

bool toolPicture(const std::string& command, NetpbmPicture& picture)
{
    int status = -1;
    std::string bytes = captureCommand(command, &status);
    return status == 0 && parseNetpbm(bytes, picture);
}

bool makeSourcePpm(const std::string& path, int width, int height)
{
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    return runCommand("convert -size " + size + " gradient:yellow-navy -swirl 120 -depth 8 ppm:"
                      + shellQuote(path)) == 0;
}

int largestDifference(const Image& image, const NetpbmPicture& picture)
{
    std::uint32_t bytesPerPixel = image.bytesPerPixel();
    bool greyToRgb = picture.channels == 1 && bytesPerPixel == 3;
    if (image.width() != picture.width || image.height() != picture.height
        || (!greyToRgb && picture.channels != bytesPerPixel))
        return -1;
    int largest = 0;
    std::size_t count = std::size_t(image.width()) * image.height();
    for (std::size_t i = 0; i < count; ++i) {
        for (std::uint32_t k = 0; k < bytesPerPixel; ++k) {
            int mine = image.pixels()[i * bytesPerPixel + k];
            int theirs = picture.samples[greyToRgb ? i : i * bytesPerPixel + k];
            largest = std::max(largest, std::abs(mine - theirs));
        }
    }
    return largest;
}

std::vector<std::uint32_t> rgbPixels(const Image& image)
{
    std::vector<std::uint32_t> out;
    for (std::uint32_t y = 0; y < image.height(); ++y)
        for (std::uint32_t x = 0; x < image.width(); ++x) {
            const std::uint8_t* p = image.pixelAt(x, y);
            out.push_back(std::uint32_t(p[0]) << 16 | p[1] << 8 | p[2]);
        }
    return out;
}
