// TextCanvas: a small RGB picture on which lines of text are composed on the CPU by
// copying glyph rectangles out of a BitmapFont, and the updatable texture it is uploaded
// into. It owns the picture and holds the texture's entry in the render device's table
// until release or the next init. It does not draw the texture. The destructor makes
// no device call: release before the device is detached.
#pragma once

#include "engine/material/Image.h"

class BitmapFont;
class RenderDevice;

class TextCanvas {
public:
    TextCanvas() = default;
    TextCanvas(const TextCanvas&) = delete;
    TextCanvas& operator=(const TextCanvas&) = delete;

    // Gives back an earlier texture, then makes an image of width x height at 24 bits
    // filled black and an updatable texture of that size in device's table. False when
    // either could not be made (the texture is then -1).
    bool init(RenderDevice& device, int width, int height);
    // Gives the texture's table entry back.
    void release();

    // Copies the glyphs of text, from the top left, onto the canvas over what is there:
    // a line feed starts the next line one cell height lower; each other byte copies its
    // glyph (glyph width by cell height) and moves right by the glyph width; whatever
    // falls outside the canvas is cut. Then uploads the whole canvas. A null font
    // copies nothing and only uploads.
    void drawText(const BitmapFont* font, const char* text);
    // Paints the whole canvas black (not uploaded until the next drawText).
    void clear() { image_.fill(black); }

    const Image& image() const { return image_; }
    // Texture-table index, -1 when none.
    int texture() const { return texture_; }

private:
    Image image_;
    RenderDevice* device_ = nullptr; // the holder of texture_
    int texture_ = -1;
};
