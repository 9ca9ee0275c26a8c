#include "tests/support/ImageFiles.h"

std::string makeBmp(const BmpLayout& layout)
{
    bool core = layout.infoSize == 12;
    std::uint32_t entrySize = core ? 3 : 4;
    LeBytes info;
    info.u32(layout.infoSize);
    if (core) {
        info.u16(std::uint32_t(layout.width)).u16(std::uint32_t(layout.height)).u16(1).u16(layout.bitCount);
    } else {
        info.u32(std::uint32_t(layout.width)).u32(std::uint32_t(layout.height)).u16(1).u16(layout.bitCount);
        info.u32(layout.compression).u32(0).u32(2835).u32(2835).u32(layout.coloursUsed).u32(0);
        info.zeros(layout.infoSize > 40 ? layout.infoSize - 40 : 0);
    }
    for (std::uint32_t colour : layout.palette) {
        info.u8(colour).u8(colour >> 8).u8(colour >> 16);
        if (!core)
            info.u8(0);
    }
    info.zeros(layout.gapBeforePixels);
    std::uint32_t headers = layout.fileHeader ? 14 : 0;
    std::uint32_t offset = headers + layout.infoSize + std::uint32_t(layout.palette.size()) * entrySize
        + layout.gapBeforePixels;
    if (layout.pixelOffset >= 0)
        offset = std::uint32_t(layout.pixelOffset);
    LeBytes file;
    if (layout.fileHeader) {
        std::uint32_t total = headers + std::uint32_t(info.str().size() + layout.pixelData.size());
        file.raw("BM").u32(total).u32(0).u32(offset);
    }
    file.raw(info.str()).raw(layout.pixelData);
    return file.str();
}

BmpLayout bmpLayout(std::int32_t width, std::int32_t height, std::uint16_t bits, std::vector<std::uint32_t> palette,
                    std::string rows)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = bits;
    layout.palette = std::move(palette);
    layout.pixelData = std::move(rows);
    return layout;
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

std::string solidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const std::uint32_t rgb = std::uint32_t(r) << 16 | g << 8 | b;
    std::vector rows(std::size_t(height), std::vector(std::size_t(width), rgb));
    return makeBmp(bmpLayout(width, height, 24, {}, bmpRows24(rows, true)));
}

std::string makeTga(const TgaLayout& layout)
{
    LeBytes out;
    out.u8(std::uint32_t(layout.id.size())).u8(layout.colourMapType).u8(layout.imageType);
    out.u16(layout.colourMapFirst).u16(layout.colourMapLength).u8(layout.colourMapEntryBits);
    out.u16(0).u16(0).u16(layout.width).u16(layout.height).u8(layout.depth).u8(layout.descriptor);
    out.raw(layout.id);
    if (!layout.colourMap.empty()) {
        out.raw(layout.colourMap);
    } else if (layout.colourMapType) {
        std::size_t entry = layout.colourMapEntryBits == 15 ? 2 : layout.colourMapEntryBits / 8;
        // Filler that would show up as colour if it were taken for pixels.
        out.raw(std::string(std::size_t(layout.colourMapLength) * entry, char(0xEE)));
    }
    out.raw(layout.pixelData);
    return out.str();
}
