#include "tools/datagen/Painter.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include <numbers>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr double PI = std::numbers::pi;
constexpr int TYPEFACES = 5;

// One box pass of radius r along a line of n pixels at stride step (in pixels) from
// first, each of the 4 bytes of a pixel on its own; scratch holds a copy of the line.
void boxLine(std::uint8_t* first, int n, int step, int r, std::vector<std::uint32_t>& scratch)
{
    scratch.resize(std::size_t(n) * 4);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 4; ++c)
            scratch[std::size_t(i) * 4 + c] = first[std::ptrdiff_t(i) * step * 4 + c];
    const std::uint32_t window = std::uint32_t(2 * r + 1);
    for (int c = 0; c < 4; ++c) {
        std::uint32_t sum = 0;
        for (int i = 0; i <= r && i < n; ++i)
            sum += scratch[std::size_t(i) * 4 + c];
        for (int i = 0; i < n; ++i) {
            first[std::ptrdiff_t(i) * step * 4 + c] = static_cast<std::uint8_t>((sum + window / 2) / window);
            const int enter = i + r + 1;
            const int leave = i - r;
            if (enter < n)
                sum += scratch[std::size_t(enter) * 4 + c];
            if (leave >= 0)
                sum -= scratch[std::size_t(leave) * 4 + c];
        }
    }
}

}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_))
{
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

RgbImage Canvas::toRgb() const
{
    cairo_surface_flush(surface_);
    RgbImage image(width_, height_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < width_; ++x) {
            // Premultiplied: the colour channels are already the picture over black.
            std::uint8_t* out = image.at(x, y);
            out[0] = static_cast<std::uint8_t>(row[x] >> 16);
            out[1] = static_cast<std::uint8_t>(row[x] >> 8);
            out[2] = static_cast<std::uint8_t>(row[x]);
        }
    }
    return image;
}

void setColour(cairo_t* cr, const Rgb& colour, double alpha)
{
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void addStop(cairo_pattern_t* pattern, double offset, const Rgb& colour, double alpha)
{
    cairo_pattern_add_color_stop_rgba(pattern, offset, colour.r, colour.g, colour.b, alpha);
}

void blurSurface(cairo_surface_t* surface, double sigma)
{
    // Three boxes of width w give the variance of a Gaussian when 3 (w^2 - 1) / 12 = sigma^2.
    const int r = std::max(1, int(std::lround((std::sqrt(4.0 * sigma * sigma + 1.0) - 1.0) / 2.0)));
    cairo_surface_flush(surface);
    std::uint8_t* data = cairo_image_surface_get_data(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stridePixels = cairo_image_surface_get_stride(surface) / 4;
    std::vector<std::uint32_t> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y)
            boxLine(data + std::ptrdiff_t(y) * stridePixels * 4, width, 1, r, scratch);
        for (int x = 0; x < width; ++x)
            boxLine(data + std::ptrdiff_t(x) * 4, height, stridePixels, r, scratch);
    }
    cairo_surface_mark_dirty(surface);
}

void drawWithGlow(Canvas& canvas, const Drawing& draw, double sigma, double strength, bool sharp)
{
    Canvas glow(canvas.width(), canvas.height());
    draw(glow.cr());
    blurSurface(glow.surface(), sigma);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source_surface(cr, glow.surface(), 0, 0);
    cairo_paint_with_alpha(cr, std::min(1.0, strength));
    // Strength above 1 adds the glow again rather than saturating one layer.
    for (double extra = strength - 1.0; extra > 0.0; extra -= 1.0)
        cairo_paint_with_alpha(cr, std::min(1.0, extra));
    cairo_restore(cr);
    if (sharp) {
        cairo_save(cr);
        draw(cr);
        cairo_restore(cr);
    }
}

const char* typefaceFile(Typeface face)
{
    switch (face) {
    case Typeface::SANS: return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case Typeface::SANS_BOLD: return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Typeface::SERIF: return "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
    case Typeface::SERIF_BOLD: return "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
    case Typeface::MONO: return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    }
    return "";
}

cairo_font_face_t* typeface(Typeface face, std::string& error)
{
    // cairo keeps faces in its caches past their last use and frees them at its own
    // time, so the FreeType library and faces live as long as the process.
    static FT_Library library = nullptr;
    static cairo_font_face_t* faces[TYPEFACES] = {};
    const int slot = static_cast<int>(face);
    if (faces[slot])
        return faces[slot];
    if (!library && FT_Init_FreeType(&library) != 0) {
        error = "FreeType does not start";
        return nullptr;
    }
    FT_Face ftFace = nullptr;
    if (FT_New_Face(library, typefaceFile(face), 0, &ftFace) != 0) {
        error = std::string("cannot open the font ") + typefaceFile(face);
        return nullptr;
    }
    faces[slot] = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    return faces[slot];
}

void useFont(cairo_t* cr, Typeface face, double size)
{
    std::string unused;
    cairo_set_font_face(cr, typeface(face, unused));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

namespace {

// The UTF-8 sequences of text, one character each.
std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            n = 4;
        else if (lead >= 0xE0)
            n = 3;
        else if (lead >= 0xC0)
            n = 2;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

}

double spacedTextWidth(cairo_t* cr, const std::string& text, double tracking)
{
    const std::vector<std::string> letters = characters(text);
    double width = 0.0;
    for (const std::string& letter : letters) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter.c_str(), &extents);
        width += extents.x_advance;
    }
    return width + tracking * double(std::max<std::size_t>(letters.size(), 1) - 1);
}

void spacedTextPath(cairo_t* cr, const std::string& text, double x, double y, double tracking, double align)
{
    double pen = x - align * spacedTextWidth(cr, text, tracking);
    for (const std::string& letter : characters(text)) {
        cairo_move_to(cr, pen, y);
        cairo_text_path(cr, letter.c_str());
        cairo_text_extents_t extents;
        cairo_text_extents(cr, letter.c_str(), &extents);
        pen += extents.x_advance + tracking;
    }
}

void starField(cairo_t* cr, SeededRandom& random, int count, double x0, double y0, double x1, double y1,
    double brightness)
{
    const Rgb tints[] = {palette::WHITE, palette::MOON, palette::CYAN, mix(palette::MAGENTA, palette::WHITE, 0.5)};
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    for (int i = 0; i < count; ++i) {
        const double x = random.range(x0, x1);
        const double y = random.range(y0, y1);
        // Most stars are faint; a cube of a uniform number gives a few bright ones.
        const double u = random.unit();
        const double level = brightness * (0.15 + 0.85 * u * u * u);
        const Rgb tint = tints[random.below(4)];
        const double radius = 0.6 + 2.2 * u * u * u;
        cairo_pattern_t* dot = cairo_pattern_create_radial(x, y, 0, x, y, radius * 2.5);
        addStop(dot, 0.0, tint, level);
        addStop(dot, 0.35, tint, level * 0.45);
        addStop(dot, 1.0, tint, 0.0);
        cairo_set_source(cr, dot);
        cairo_arc(cr, x, y, radius * 2.5, 0, 2 * PI);
        cairo_fill(cr);
        cairo_pattern_destroy(dot);
        if (u > 0.93) {
            // A four-pointed flare: two thin fading strokes.
            const double length = 6.0 + 18.0 * (u - 0.93) / 0.07;
            for (int axis = 0; axis < 2; ++axis) {
                const double dx = axis == 0 ? length : 0.0;
                const double dy = axis == 0 ? 0.0 : length;
                cairo_pattern_t* ray = cairo_pattern_create_linear(x - dx, y - dy, x + dx, y + dy);
                addStop(ray, 0.0, tint, 0.0);
                addStop(ray, 0.5, tint, level * 0.8);
                addStop(ray, 1.0, tint, 0.0);
                cairo_set_source(cr, ray);
                cairo_set_line_width(cr, 1.0);
                cairo_move_to(cr, x - dx, y - dy);
                cairo_line_to(cr, x + dx, y + dy);
                cairo_stroke(cr);
                cairo_pattern_destroy(ray);
            }
        }
    }
    cairo_restore(cr);
}

void vignette(cairo_t* cr, int width, int height, double strength)
{
    const double cx = width / 2.0, cy = height / 2.0;
    const double outer = std::hypot(cx, cy);
    cairo_pattern_t* shade = cairo_pattern_create_radial(cx, cy, outer * 0.45, cx, cy, outer);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, strength);
    cairo_save(cr);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(shade);
}
