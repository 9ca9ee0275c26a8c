#include "demo/effects/TextCanvas.h"

#include "demo/effects/BitmapFont.h"
#include "engine/render/RenderDevice.h"

bool TextCanvas::init(RenderDevice& device, int width, int height)
{
    release();
    image_.release();
    // allocate zeroes the pixels: the canvas starts black.
    if (width <= 0 || height <= 0 || !image_.allocate(std::uint32_t(width), std::uint32_t(height), 24))
        return false;
    device_ = &device;
    texture_ = device.createTexture(width, height, 24);
    return texture_ >= 0;
}

void TextCanvas::release()
{
    if (device_ && texture_ >= 0)
        device_->releaseTexture(texture_);
    device_ = nullptr;
    texture_ = -1;
}

void TextCanvas::drawText(const BitmapFont* font, const char* text)
{
    if (font && text) {
        const Image& picture = font->image();
        const int glyphHeight = static_cast<int>(picture.height() / 16);
        int x = 0;
        int y = 0;
        for (const char* c = text; *c; ++c) {
            const std::uint8_t code = static_cast<std::uint8_t>(*c);
            if (code == '\n') {
                x = 0;
                y += font->cellHeight();
                continue;
            }
            const Glyph& glyph = font->glyph(code);
            image_.blit(x, y, picture, glyph.srcX, glyph.srcY, glyph.width, glyphHeight);
            x += glyph.width;
        }
    }
    if (device_)
        device_->updateTexture(texture_, image_);
}
