// The cel-shading data: the vertex program and the combiner script, kept readable in the
// repository's data/ folder and copied as they are, and the two ramps they read, drawn
// here to match them. The program turns how squarely a vertex faces light 0 (and the
// eye) into a ramp coordinate u = 0.05 + 0.9 x facing; the ramps' flat bands make the
// light come in bands and the silhouette dark. Band edges fall on 16-pixel columns, so
// every JPEG block is one flat colour and compression adds no ringing. Owns nothing
// beyond the pixels it returns.
#pragma once

#include "tools/datagen/ImageEncoders.h"

#include <filesystem>

// The tone ramp ("tones.jpg"): from the side turned away from the light (u = 0) to the
// side facing it (u = 1), three flat bands: violet shadow, soft light, full light.
RgbImage toneRamp();
// The outline ramp ("tonesOutline.jpg"): near black where the surface turns away from
// the eye (low u), white (no change) elsewhere.
RgbImage outlineRamp();
// Writes "CellShading_OutLine.vsh", "CellShading_OutLine_FFP.psh", "tones.jpg" and
// "tonesOutline.jpg" into dir. False, with a message on standard error, on failure.
bool writeCelShading(const std::filesystem::path& dir);
