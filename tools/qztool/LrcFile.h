// LRC lyrics: lines of time tags and words. "[mm:ss.xx]" or "[mm:ss.xxx]" (minutes of any
// width, from one digit), several tags before one text (one cue each); ID tags alone on
// their line ("[ar:...]", "[ti:...]", ...) skipped, "[offset:+/-ms]" honoured (a
// positive offset shows the lines earlier); word-time tags "<mm:ss.xx>" dropped.
#pragma once

#include "tools/qztool/LyricCues.h"

// The cues in time order. False with error "line N: why" for a line that is neither
// blank, an ID tag nor time tags with text.
bool parseLrc(std::string_view text, std::vector<LyricCue>& cues, std::string& error);
