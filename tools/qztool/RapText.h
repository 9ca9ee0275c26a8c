// rap.txt as the show's lyrics reader (demo/effects/LyricsFile.h) takes it: per cue a
// line of its time in milliseconds, its words in Latin-1 (the bitmap font's codes) and a
// closing "|" word. On the way it notes what the show would lose: characters outside
// Latin-1 (replaced visibly: typographic quotes, dashes and ellipses by their plain
// forms, anything else by '?'), and words, lines and widths beyond what the reader and
// the band hold. Owns nothing beyond what it returns.
#pragma once

#include "tools/qztool/LyricCues.h"

#include <array>
#include <string>
#include <vector>

// Pixel widths of the 256 glyphs of the band's font.
using GlyphWidths = std::array<int, 256>;

struct RapTextReport {
    int replaced = 0;                  // characters written as a stand-in
    int firstReplacedLine = 0;         // source line of the first, 0 for none
    std::vector<std::string> warnings; // "line N: ..." for what the show cuts
};

// The file's text for cues in time order (times below 0 written as 0). widths null: no
// width check.
std::string rapText(const std::vector<LyricCue>& cues, const GlyphWidths* widths, RapTextReport& report);
