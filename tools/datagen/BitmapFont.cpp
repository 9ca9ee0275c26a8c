#include "tools/datagen/BitmapFont.h"

#include "demo/effects/BitmapFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>

namespace {

// The canvas the show draws words into is stretched 3.5 times in height and a little
// narrower in width on screen, so the glyphs are drawn wider than tall to keep them
// readable there; 15 pixels per em across still keeps the widest glyph inside a cell.
constexpr int EM_X = 15;
constexpr int EM_Y = 12;
// The same stretch would leave upright strokes thin beside flat ones: they are made
// this much wider (26.6 fixed point pixels), flat strokes left as they are.
constexpr FT_Pos STEM_WIDENING = 40;

// FreeType's library and face, released in every outcome.
class Face {
public:
    ~Face()
    {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }
    bool open(const char* fileName, std::string& error)
    {
        if (FT_Init_FreeType(&library_) != 0) {
            error = "FreeType does not start";
            return false;
        }
        if (FT_New_Face(library_, fileName, 0, &face_) != 0) {
            error = std::string("cannot open the font ") + fileName;
            return false;
        }
        if (FT_Set_Char_Size(face_, EM_X * 64, EM_Y * 64, 72, 72) != 0) {
            error = std::string("cannot size the font ") + fileName;
            return false;
        }
        return true;
    }
    FT_Face get() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Draws one rendered glyph into its cell, its pen at column penX of the cell; rows and
// columns outside the cell are dropped rather than spilt into a neighbour.
void drawGlyph(const FT_GlyphSlot slot, int cellX, int cellY, int penX, RgbImage& image)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int y = FONT_BASELINE - slot->bitmap_top + int(row);
        if (y < 0 || y >= FONT_CELL)
            continue;
        const unsigned char* source = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int x = penX + slot->bitmap_left + int(column);
            if (x < 0 || x >= FONT_CELL)
                continue;
            std::uint8_t* pixel = image.at(cellX + x, cellY + y);
            pixel[0] = pixel[1] = pixel[2] = source[column];
        }
    }
}

}

bool renderBitmapFont(const char* fontFile, BitmapFontImage& out, std::string& error)
{
    Face face;
    if (!face.open(fontFile, error))
        return false;
    out.image = RgbImage(16 * FONT_CELL, 16 * FONT_CELL);
    out.widths.assign(256, 0);
    for (int code = 0; code < 256; ++code) {
        // Latin-1 codes are the first 256 Unicode code points. Control codes have no
        // glyph: one black column each.
        const FT_UInt index = FT_Get_Char_Index(face.get(), FT_ULong(code));
        if (index == 0)
            continue;
        // Light hinting snaps horizontal edges to whole rows, which the stretch on
        // screen would otherwise blur; it leaves the letter shapes alone.
        if (FT_Load_Glyph(face.get(), index, FT_LOAD_TARGET_LIGHT) != 0)
            continue;
        const FT_GlyphSlot slot = face.get()->glyph;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE && FT_Outline_EmboldenXY(&slot->outline, STEM_WIDENING, 0) == 0)
            slot->advance.x += STEM_WIDENING;
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        // The glyph's box is its advance, widened where the ink reaches past it.
        const int advance = int((slot->advance.x + 32) >> 6);
        const int inkLeft = slot->bitmap.width > 0 ? slot->bitmap_left : 0;
        const int inkRight = inkLeft + int(slot->bitmap.width);
        const int boxLeft = std::min(0, inkLeft);
        const int width = std::clamp(std::max(advance, inkRight) - boxLeft, 1, FONT_CELL);
        out.widths[std::size_t(code)] = static_cast<unsigned char>(width - 1);
        const int penX = glyphLeftInCell(FONT_CELL, width) - boxLeft;
        drawGlyph(slot, (code % 16) * FONT_CELL, (code / 16) * FONT_CELL, penX, out.image);
    }
    return true;
}
