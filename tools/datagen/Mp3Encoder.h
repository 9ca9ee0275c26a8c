// MP3 encoding of the soundtrack through LAME: constant bit rate, joint stereo, no VBR
// tag, so the same samples always give the same bytes. It owns nothing it returns
// beyond the bytes; it never touches files.
#pragma once

#include "tools/datagen/Soundtrack.h"

#include <string>
#include <vector>

// Encodes pcm at kbps kilobits per second. False with error set when LAME fails.
// progress, when given, is called with the fraction done (0..1) now and then.
bool encodeMp3(const StereoPcm& pcm, int kbps, std::vector<unsigned char>& mp3, std::string& error,
    void (*progress)(double fraction) = nullptr);
