// TextCanvas: a small RGB picture on which lines of text are composed on the CPU by
// copying glyph rectangles out of a BitmapFont, and the updatable texture it is uploaded
// into. It owns the picture; the texture belongs to the render device's table (reached
// through currentDevice) and is referred to by index. It does not draw the texture.
#pragma once

#include "engine/material/Image.h"

class TextCanvas {
public:
    // An image of width x height at 24 bits filled black, and an updatable texture of
    // that size (-1 without a device or when the table refuses it). False when either
    // could not be made.
    bool init(int width, int height);

    // Copies the glyphs of text, from the top left, onto the canvas over what is there:
    // a line feed starts the next line one cell height lower; each other byte copies its
    // glyph (glyph width by cell height) and moves right by the glyph width; whatever
    // falls outside the canvas is cut. Then uploads the whole canvas. fontIndex -1 (or
    // any slot without a font) copies nothing and only uploads.
    void drawText(int fontIndex, const char* text);
    // Paints the whole canvas black (not uploaded until the next drawText).
    void clear() { image_.fill(black); }

    const Image& image() const { return image_; }
    // Texture-table index, -1 when none.
    int texture() const { return texture_; }

private:
    Image image_;
    int texture_ = -1;
};
