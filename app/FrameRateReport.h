// The average frame rate shown when the show ends.
#pragma once

#include <cstdint>
#include <string>

// "FPS=%.2f" of frames / seconds in single precision. When no time was measured
// (seconds <= 0, or a result that is not finite) there is no rate to give: "FPS=0.00".
std::string formatFrameRate(std::uint32_t frames, long double seconds);

// Prints the text to standard output and shows it in a box captioned "Velvet Orbit".
void showFrameRate(const std::string& text);
