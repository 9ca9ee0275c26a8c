#include "engine/material/DibLoader.h"

#include "engine/material/BmpFormat.h"
#include "platform/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

void showError(const std::string& text)
{
    platform::showMessageBox("Error", text.c_str(), platform::MessageIcon::Error);
}

}

std::size_t DibImage::byteSize() const
{
    return std::size_t(width < 0 ? 0 : width) * std::size_t(std::llabs(height)) * 3;
}

std::unique_ptr<DibImage> decodeDib(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<BmpInfo> info(new (std::nothrow) BmpInfo);
    if (!info) {
        showError("Out of memory.");
        return nullptr;
    }
    if (!readBmpInfo(data, size, BmpFileHeader::WhenMarked, *info)) {
        showError("Unknown DIB file format.");
        return nullptr;
    }
    if (!bmpSizeAllowed(*info)) {
        showError("Out of memory.");
        return nullptr;
    }
    if (!bmpBitsConvertible(*info, size)) {
        showError("Image file conversion error.");
        return nullptr;
    }
    std::unique_ptr<DibImage> image(new (std::nothrow) DibImage);
    if (!image) {
        showError("Out of memory.");
        return nullptr;
    }
    image->width = std::int32_t(info->width);
    image->height = std::int32_t(info->height);
    image->pixels = allocateZeroed(image->byteSize());
    if (!image->pixels) {
        showError("Out of memory.");
        return nullptr;
    }
    if (!convertBmpBits(*info, data, size, image->pixels.get(), BmpRowOrder::AsStored)) {
        showError("Image file conversion error.");
        return nullptr;
    }
    return image;
}

std::unique_ptr<DibImage> loadDib(const char* fileName)
{
    std::string name = fileName ? fileName : "";
    std::vector<std::uint8_t> bytes;
    std::FILE* file = fileName ? std::fopen(fileName, "rb") : nullptr;
    bool readOk = file != nullptr;
    if (file) {
        std::uint8_t chunk[65536];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        readOk = !std::ferror(file);
        std::fclose(file);
    }
    // An empty file cannot be mapped, so it fails like one that does not open.
    if (!readOk || bytes.empty()) {
        showError("Failed to open DIB file " + name + ".\n");
        return nullptr;
    }
    return decodeDib(bytes.data(), bytes.size());
}
