// SRT subtitles: numbered cues of a time line ("00:01:02,500 --> 00:01:05,000", ',' or
// '.' before the milliseconds) and text lines, separated by blank lines; a UTF-8
// byte-order mark, CR LF or LF. A cue's lines are joined with spaces and formatting tags
// ("<i>", "<font ...>", "{\an8}") removed. The band is cleared at a cue's end unless
// the next cue has started by then.
#pragma once

#include "tools/qztool/LyricCues.h"

// The cues in time order, the clearing ones (empty text) included. False with error
// "line N: why" for a cue without a well-formed time line.
bool parseSrt(std::string_view text, std::vector<LyricCue>& cues, std::string& error);
