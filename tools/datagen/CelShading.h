// The cel-shading data: the vertex program and the combiner script, kept readable in the
// repository's data/ folder and copied as they are, and the two ramps they read, drawn
// here to match them. The program turns how squarely a vertex faces light 0 (and the
// eye) into a ramp coordinate u = 0.05 + 0.9 x facing; the ramps' flat bands make the
// light come in bands and the silhouette dark: "tones.jpg" goes from violet shadow
// (facing away from the light, u = 0) through soft light to full light (u = 1);
// "tonesOutline.jpg" is near black at low u (turned away from the eye), white elsewhere.
// Band edges fall on 16-pixel columns, so every JPEG block is one flat colour and
// compression adds no ringing. Owns nothing beyond the pixels it makes.
#pragma once

#include <filesystem>

// Writes "CellShading_OutLine.vsh", "CellShading_OutLine_FFP.psh", "tones.jpg" and
// "tonesOutline.jpg" into dir. False, with a message on standard error, on failure.
bool writeCelShading(const std::filesystem::path& dir);
