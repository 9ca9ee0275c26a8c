#include "engine/math/Color.h"

namespace {
float sharedFloats[4];
}

float Color::getRed() const { return r / 255.0f; }
float Color::getGreen() const { return g / 255.0f; }
float Color::getBlue() const { return b / 255.0f; }
float Color::getAlpha() const { return a / 255.0f; }

const float* Color::asFloatArray() const
{
    sharedFloats[0] = getRed();
    sharedFloats[1] = getGreen();
    sharedFloats[2] = getBlue();
    sharedFloats[3] = getAlpha();
    return sharedFloats;
}
