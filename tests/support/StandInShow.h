// A complete show folder of small stand-ins, made in a moment: the text files as datagen
// --text writes them (scene times, camera paths, cel shading, lyrics), then every other
// file of the show's table as the least that loads: grey 4 x 4 pictures, a white
// sprite and font, black bands, triangle models and one-key animations. Needs datagen
// built and ImageMagick's convert.
#pragma once

#include "demo/ShowFiles.h"

#include <string>

// The models, model k of this list with k + 1 triangles, so that a draw names its model.
inline constexpr const char* STAND_IN_MODELS[] = {showfiles::FIGURE, showfiles::CAVE, showfiles::DANCER,
    showfiles::GROUND, showfiles::ORBIT};

// Writes the folder (created when needed). False, with error set, when a file could not
// be made.
bool writeStandInShow(const std::string& folder, std::string& error);
