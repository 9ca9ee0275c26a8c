#include "tools/datagen/DataFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

bool writeDataFile(const fs::path& dir, const std::string& name, const void* bytes, std::size_t size)
{
    const fs::path target = dir / name;
    const fs::path temporary = dir / (name + ".part");
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "datagen: cannot write %s: %s\n", temporary.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::fprintf(stderr, "datagen: cannot write %s\n", temporary.c_str());
        fs::remove(temporary, ec);
        return false;
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        std::fprintf(stderr, "datagen: cannot rename %s: %s\n", temporary.c_str(), ec.message().c_str());
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool writeDataFile(const fs::path& dir, const std::string& name, const std::string& text)
{
    return writeDataFile(dir, name, text.data(), text.size());
}

bool writeDataFile(const fs::path& dir, const std::string& name, const std::vector<unsigned char>& bytes)
{
    return writeDataFile(dir, name, bytes.data(), bytes.size());
}

bool writePictureFile(const fs::path& dir, const std::string& name, const RgbImage& image, int jpegQuality)
{
    std::vector<unsigned char> bytes;
    const std::string ext = fs::path(name).extension().string();
    if (ext == ".jpg")
        bytes = encodeJpeg(image, jpegQuality);
    else if (ext == ".bmp")
        bytes = encodeBmp24(image);
    else if (ext == ".tga")
        bytes = encodeTga(image);
    if (bytes.empty()) {
        std::fprintf(stderr, "datagen: cannot encode %s\n", name.c_str());
        return false;
    }
    return writeDataFile(dir, name, bytes);
}
