#include "tests/support/ImageFiles.h"

std::string makeBmp(const BmpSpec& spec)
{
    bool core = spec.infoSize == 12;
    std::uint32_t entrySize = core ? 3 : 4;
    LeBytes info;
    info.u32(spec.infoSize);
    if (core) {
        info.u16(std::uint32_t(spec.width)).u16(std::uint32_t(spec.height)).u16(1).u16(spec.bitCount);
    } else {
        info.u32(std::uint32_t(spec.width)).u32(std::uint32_t(spec.height)).u16(1).u16(spec.bitCount);
        info.u32(spec.compression).u32(0).u32(2835).u32(2835).u32(spec.coloursUsed).u32(0);
        info.zeros(spec.infoSize > 40 ? spec.infoSize - 40 : 0);
    }
    for (std::uint32_t colour : spec.palette) {
        info.u8(colour).u8(colour >> 8).u8(colour >> 16);
        if (!core)
            info.u8(0);
    }
    info.zeros(spec.gapBeforePixels);
    std::uint32_t headers = spec.fileHeader ? 14 : 0;
    std::uint32_t offset = headers + spec.infoSize + std::uint32_t(spec.palette.size()) * entrySize
        + spec.gapBeforePixels;
    if (spec.pixelOffset >= 0)
        offset = std::uint32_t(spec.pixelOffset);
    LeBytes file;
    if (spec.fileHeader) {
        std::uint32_t total = headers + std::uint32_t(info.str().size() + spec.pixelData.size());
        file.raw("BM").u32(total).u32(0).u32(offset);
    }
    file.raw(info.str()).raw(spec.pixelData);
    return file.str();
}

std::string bmpRows24(const std::vector<std::vector<std::uint32_t>>& topFirst, bool bottomUp)
{
    LeBytes out;
    std::size_t rows = topFirst.size();
    for (std::size_t i = 0; i < rows; ++i) {
        const auto& row = topFirst[bottomUp ? rows - 1 - i : i];
        for (std::uint32_t rgb : row)
            out.u8(rgb).u8(rgb >> 8).u8(rgb >> 16);
        out.zeros(row.size() & 3);
    }
    return out.str();
}

std::string makeTga(const TgaSpec& spec)
{
    LeBytes out;
    out.u8(std::uint32_t(spec.id.size())).u8(spec.colourMapType).u8(spec.imageType);
    out.u16(0).u16(spec.colourMapLength).u8(spec.colourMapEntryBits);
    out.u16(0).u16(0).u16(spec.width).u16(spec.height).u8(spec.depth).u8(spec.descriptor);
    out.raw(spec.id);
    if (spec.colourMapType) {
        std::size_t entry = spec.colourMapEntryBits == 15 ? 2 : spec.colourMapEntryBits / 8;
        // Filler that would show up as colour if it were taken for pixels.
        out.raw(std::string(std::size_t(spec.colourMapLength) * entry, char(0xEE)));
    }
    out.raw(spec.pixelData);
    return out.str();
}
