#include "demo/effects/BitmapFont.h"

#include "engine/math/FileBuffer.h"

#include <cstring>

namespace {

// fileName with its last three characters replaced by "qzf"; empty for shorter names.
std::string widthTableName(const std::string& fileName)
{
    if (fileName.size() < 3)
        return {};
    return fileName.substr(0, fileName.size() - 3) + "qzf";
}

}

bool BitmapFont::load(const char* fileName)
{
    name_ = fileName ? fileName : "";
    std::uint8_t widths[WidthTableSize] = {};
    FileBuffer table;
    const std::string tableName = widthTableName(name_);
    hasWidthTable_ = !tableName.empty() && table.load(tableName.c_str()) && table.size() >= WidthTableSize;
    if (hasWidthTable_)
        std::memcpy(widths, table.data(), WidthTableSize);

    const bool decoded = image_.load(name_.c_str());
    const std::uint32_t imageWidth = image_.width();
    const std::uint32_t imageHeight = image_.height();
    const int cellWidth = static_cast<int>((imageWidth / 16) & 0xFFF);
    cellHeight_ = static_cast<int>(imageHeight / 16);

    for (int j = 0; j < GlyphCount; ++j) {
        Glyph& g = glyphs_[j];
        const int column = j % 16;
        const int row = j / 16;
        g.v0 = static_cast<float>(row) / 16.0f;
        g.v1 = static_cast<float>(row + 1) / 16.0f;
        g.srcY = static_cast<int>(std::uint64_t(imageHeight) * std::uint64_t(row) / 16);
        if (hasWidthTable_) {
            const int width = widths[j] + 1;
            const std::uint16_t right =
                static_cast<std::uint16_t>(cellWidth * column + glyphLeftInCell(cellWidth, width) + width);
            const int left = right - width;
            g.width = static_cast<std::uint16_t>(width);
            g.relativeWidth = cellWidth > 0 ? static_cast<float>(width) / static_cast<float>(cellWidth) : 0.0f;
            g.srcX = left;
            if (imageWidth > 0) {
                g.u0 = static_cast<float>(left) / static_cast<float>(imageWidth);
                g.u1 = static_cast<float>(right) / static_cast<float>(imageWidth);
            }
        } else {
            // The whole cell.
            g.width = static_cast<std::uint16_t>(imageWidth / 16);
            g.relativeWidth = 1.0f;
            g.u0 = static_cast<float>(column) / 16.0f;
            g.u1 = static_cast<float>(column + 1) / 16.0f;
            g.srcX = static_cast<int>(std::uint64_t(imageWidth) * std::uint64_t(column) / 16);
        }
    }
    return decoded;
}

int FontRegistry::find(const char* fileName)
{
    if (!fileName)
        return -1;
    for (int i = 0; i < SlotCount; ++i)
        if (slots_[i] && slots_[i]->name() == fileName)
            return i;
    for (int i = 0; i < SlotCount; ++i) {
        if (!slots_[i]) {
            slots_[i] = std::make_unique<BitmapFont>();
            slots_[i]->load(fileName);
            return i;
        }
    }
    return -1;
}

BitmapFont* FontRegistry::get(int index) const
{
    if (index < 0 || index >= SlotCount)
        return nullptr;
    return slots_[index].get();
}
