// The drawing kit of the show's pictures, over cairo: an owned canvas, the palette's
// colours set on a context, the DejaVu faces through FreeType, soft glows (a blurred copy added under
// the sharp drawing), spaced titles, star fields. Randomness comes from the caller's
// SeededRandom, so a picture is the same on every run. It writes no files.
#pragma once

#include "tools/datagen/ImageEncoders.h"
#include "tools/datagen/Palette.h"
#include "tools/datagen/SeededRandom.h"

#include <cairo.h>

#include <functional>
#include <string>

// An ARGB image surface with its drawing context, cleared to transparent black.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The picture laid over black, as R, G, B rows top first.
    RgbImage toRgb() const;

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

void setColour(cairo_t* cr, const Rgb& colour, double alpha = 1.0);
void addStop(cairo_pattern_t* pattern, double offset, const Rgb& colour, double alpha = 1.0);

// Blurs an ARGB32 surface in place, close to a Gaussian of deviation sigma pixels
// (three box passes each way; the outside counts as transparent).
void blurSurface(cairo_surface_t* surface, double sigma);

using Drawing = std::function<void(cairo_t*)>;
// Draws into the canvas twice: a copy blurred by sigma and added with strength (the
// glow), then, when sharp, the drawing itself over it.
void drawWithGlow(Canvas& canvas, const Drawing& draw, double sigma, double strength, bool sharp = true);

// The DejaVu faces of fonts-dejavu-core.
enum class Typeface { SANS, SANS_BOLD, SERIF, SERIF_BOLD, MONO };
// Path of the face's file; the bitmap font is rasterised from SANS.
const char* typefaceFile(Typeface face);
// A cairo face read from that file by FreeType, kept for the life of the process; null
// (and error set) when the file cannot be read.
cairo_font_face_t* typeface(Typeface face, std::string& error);
// Sets face (already loaded by typeface()) and size in pixels, unhinted so that layouts
// are the same at every scale.
void useFont(cairo_t* cr, Typeface face, double size);

// Width of text (UTF-8) in the current font with tracking pixels added after every
// letter but the last.
double spacedTextWidth(cairo_t* cr, const std::string& text, double tracking);
// Adds the outlines of text to the path, its baseline at y, spaced by tracking, placed
// so that the point align (0 left, 0.5 centre, 1 right) of its width is at x.
void spacedTextPath(cairo_t* cr, const std::string& text, double x, double y, double tracking, double align);

// count stars in the rectangle: most faint points, a few larger with a soft halo and
// fewer with a four-pointed flare; tinted with the palette, scaled by brightness.
void starField(cairo_t* cr, SeededRandom& random, int count, double x0, double y0, double x1, double y1,
    double brightness);
// Darkens towards the edges of a width x height frame (0 none .. 1 black corners).
void vignette(cairo_t* cr, int width, int height, double strength);
