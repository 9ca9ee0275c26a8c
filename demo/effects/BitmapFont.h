// BitmapFont: a picture of 256 glyphs in a 16 by 16 grid of cells, indexed by character
// code, with an optional table of glyph widths beside it (the image's name with its last
// three characters replaced by "qzf", read through the file-system registry). A font
// owns its name, picture and glyph records; it draws nothing itself (TextCanvas copies
// glyph rectangles out of the picture). FontRegistry holds up to 16 fonts by file name;
// the show owns one. Fonts hold no GL resource.
#pragma once

#include "engine/material/Image.h"

#include <cstdint>
#include <memory>
#include <string>

// A glyph's rectangle in the font picture. u and v are fractions of the picture's width
// and height (v grows downwards, row 0 at the top); srcX and srcY are the same corner in
// whole pixels, which copies use so float rounding never shifts a glyph by a pixel.
struct Glyph {
    std::uint16_t width = 0; // pixels
    float relativeWidth = 0.0f; // width / cell width
    float u0 = 0.0f, v0 = 0.0f, u1 = 0.0f, v1 = 0.0f;
    int srcX = 0, srcY = 0;
};

// Where a glyph of width pixels starts inside its cell of cellWidth: centred, the odd
// pixel on the left. The font's maker draws each glyph there.
constexpr int glyphLeftInCell(int cellWidth, int width)
{
    return cellWidth / 2 + width / 2 - width;
}

class BitmapFont {
public:
    static constexpr int GlyphCount = 256;
    static constexpr std::uint32_t WidthTableSize = 256;

    // Reads the width table (when there is one of at least 256 bytes; a shorter one is
    // ignored) and the picture (Image::load). A missing picture leaves an empty image and
    // copies nothing. True when the picture decoded.
    bool load(const char* fileName);

    const std::string& name() const { return name_; }
    const Image& image() const { return image_; }
    const Glyph& glyph(std::uint8_t code) const { return glyphs_[code]; }
    // Picture height / 16: a line's height in pixels.
    int cellHeight() const { return cellHeight_; }
    bool hasWidthTable() const { return hasWidthTable_; }

private:
    std::string name_;
    Image image_;
    Glyph glyphs_[GlyphCount];
    int cellHeight_ = 0;
    bool hasWidthTable_ = false;
};

// Sixteen font slots, empty at start; a font, once loaded, stays until the registry goes.
class FontRegistry {
public:
    static constexpr int SlotCount = 16;

    // The slot of the font loaded under exactly this name (case-sensitive); otherwise the
    // font is loaded into the first empty slot. -1 when every slot is taken or the name
    // is null.
    int find(const char* fileName);
    // The font in slot index; null for -1, an empty slot or an index outside 0..15.
    BitmapFont* get(int index) const;

private:
    std::unique_ptr<BitmapFont> slots_[SlotCount];
};
