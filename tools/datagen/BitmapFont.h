// The show's bitmap font: the 256 Latin-1 characters rasterised with FreeType, white
// anti-aliased on black, one per 16 x 16 cell of a 256 x 256 picture (code j in column
// j % 16, row j / 16), and its width table (one byte per code: width - 1). The show cuts
// a glyph out of the middle of its cell (glyphLeftInCell of the show's font), so each
// glyph is drawn exactly there. Owns nothing beyond what it returns; writing the files
// is the caller's.
#pragma once

#include "tools/datagen/ImageEncoders.h"

#include <string>
#include <vector>

constexpr int FONT_CELL = 16;    // pixels, both ways
constexpr int FONT_BASELINE = 13; // cell rows above the baseline

struct BitmapFontImage {
    RgbImage image;                  // 256 x 256, R = G = B = coverage
    std::vector<unsigned char> widths; // 256 bytes, width - 1
};

// Rasterises fontFile (a TrueType face with a Unicode map). False with error set when
// FreeType cannot open or size it.
bool renderBitmapFont(const char* fontFile, BitmapFontImage& out, std::string& error);
