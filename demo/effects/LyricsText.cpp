#include "demo/effects/LyricsText.h"

#include "demo/DesignFrame.h"
#include "demo/effects/BitmapFont.h"
#include "demo/effects/ScreenOverlay.h"
#include "engine/core/Console.h"
#include "engine/material/Image.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Window.h"

#include <cmath>

// The overlay sends its states with the plain setters, unconditionally: the scene before
// it may have changed GL behind the device's cache, and the setters record what they send.

namespace {

// Black all over, and opaque where the picture has alpha (RGBA bytes): bands of it are
// black, where a transparent texel would fail the alpha test and show what lies beneath.
bool blackAndOpaque(const Image& image)
{
    const std::size_t bytes = image.bytesPerPixel();
    if (bytes < 2 || bytes > 4)
        return false;
    for (std::size_t i = 0; i < image.byteSize(); ++i)
        if (image.pixels()[i] != (bytes == 4 && i % 4 == 3 ? 0xFF : 0))
            return false;
    return true;
}

// Leaves the device's clear colour and scissor as the overlay found them.
void clearBandsBlack(RenderDevice& device, int width, int height, int band)
{
    const float r = device.clearR, g = device.clearG, b = device.clearB;
    device.setClearColor(0.0f, 0.0f, 0.0f);
    device.setScissor(0, 0, width, band);
    device.clearColor();
    device.setScissor(0, height - band, width, band);
    device.clearColor();
    device.setScissor(0, 0, width, height);
    device.setClearColor(r, g, b);
}

}

void LyricsText::startClock()
{
    clock_.restart();
}

void LyricsText::init(RenderDevice& device, FontRegistry& fonts, const char* lyricsFile, const char* fontFile,
    const char* bandFile)
{
    release();
    fonts_ = &fonts;
    fontIndex_ = fonts.find(fontFile);
    canvas_.init(device, CANVAS_WIDTH, CANVAS_HEIGHT);
    drawnEntry_ = NOT_DRAWN;

    // A missing picture still gives an entry, one without image data: the bands are
    // then drawn untextured.
    Image background;
    bandsLoaded_ = bandFile && background.load(bandFile);
    bandsBlack_ = bandsLoaded_ && blackAndOpaque(background);
    backgroundTexture_ = device.addTexture(background, "BUMP");
    device_ = &device;
    background.release();

    current_ = 0;
    if (!readLyricEntries(lyricsFile, entries_))
        consolePrintf("Erreur de chargement du fichier  : %s\n", lyricsFile ? lyricsFile : "");
}

void LyricsText::release()
{
    canvas_.release();
    if (device_ && backgroundTexture_ >= 0)
        device_->releaseTexture(backgroundTexture_);
    device_ = nullptr;
    backgroundTexture_ = -1;
}

const BitmapFont* LyricsText::font() const
{
    return fonts_ ? fonts_->get(fontIndex_) : nullptr;
}

void LyricsText::advance()
{
    const std::int32_t now = clock_.elapsedMs();
    const int last = static_cast<int>(entries_.size()) - 1;
    while (current_ < last && entries_[std::size_t(current_)].showTime < now) {
        ++current_;
        consolePrintf("tailleText : %d\n", static_cast<int>(entries_[std::size_t(current_)].text.size()));
    }
}

int LyricsText::shownEntry() const
{
    if (entries_.empty())
        return -1;
    return current_ > 0 ? current_ - 1 : 0;
}

const char* LyricsText::shownText() const
{
    const int shown = shownEntry();
    return shown < 0 ? "" : entries_[std::size_t(shown)].text.c_str();
}

float LyricsText::bandHeight(int viewportHeight)
{
    return static_cast<float>(BAND_HEIGHT) * design::scale(viewportHeight);
}

void LyricsText::draw(RenderDevice& device, bool bandRowsBlack)
{
    advance();
    // A new line goes onto a black canvas: the trailing spaces wipe only as much of the
    // line before as they are wide, and a shorter line must not leave its predecessor's
    // last words showing. The canvas then depends on the shown line alone, so composing
    // the same line again would rewrite every pixel with the value it holds: the canvas
    // and its texture are only rewritten when the shown entry changes (the first frame
    // always uploads, over the texture's initial green).
    const int shown = shownEntry();
    if (shown != drawnEntry_) {
        canvas_.clear();
        canvas_.drawText(font(), shownText());
        drawnEntry_ = shown;
    }

    if (!device.getWindow())
        return;
    // The bands and the strip are measured on the 1024 x 768 design and scale with the
    // show's frame, the viewport.
    const float w = static_cast<float>(device.viewportWidth);
    const float h = static_cast<float>(device.viewportHeight);
    const float scale = design::scale(device.viewportHeight);
    beginScreenOverlay(device, w, h);

    device.setCullMode(CullMode::None);
    device.setLighting(false);
    device.setBlendFunc(BlendFactor::One, BlendFactor::One);
    // The letterbox is opaque whatever the scene left switched on, so the show may skip
    // drawing the scene behind it.
    device.setBlending(false);

    const float band = bandHeight(device.viewportHeight);
    // A band of whole rows covers exactly the rows the scene's box leaves out. Black ones
    // are cleared, not drawn: a clear is the cheaper fill for a software rasteriser.
    const bool wholeRows = band == std::floor(band);
    if (bandsBlack_ && wholeRows) {
        if (!bandRowsBlack)
            clearBandsBlack(device, static_cast<int>(w), static_cast<int>(h), static_cast<int>(band));
    } else {
        device.setTextureSlot(0, backgroundTexture_);
        device.drawQuad(0.0f, 0.0f, w, band);
        device.drawQuad(0.0f, h, w, h - band);
    }

    const float margin = static_cast<float>(STRIP_MARGIN) * scale;
    device.setTextureSlot(0, canvas_.texture());
    device.drawQuad(margin, h - static_cast<float>(STRIP_TOP) * scale, w - margin, h - margin);

    device.setLighting(true);
    device.setBlending(false);
    device.popProjection();
}

void LyricsText::rewind()
{
    clock_.restart();
    current_ = 0;
    drawnEntry_ = NOT_DRAWN;
}
