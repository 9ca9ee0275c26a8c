// The show's words: the readable source data/lyrics.txt, timed in bars and beats of the
// soundtrack and written in UTF-8, becomes "rap.txt" as the show's lyrics reader takes
// it: per entry a start time in milliseconds on the lyrics clock (which starts with the
// music), the words in Latin-1 (the bitmap font's codes) and a closing "|" word. It
// checks what the reader cannot hold. Owns nothing beyond the text it returns.
#pragma once

#include <string>
#include <string_view>

// Source lines: "BAR.BEAT words...", bars and beats counted from 1 as musicians count
// (bar 1 beat 1 is the first beat of the music); a line with a time and no words clears
// the text. Blank lines and lines starting with '#' are skipped. Times must rise.
// The rap.txt text, or false with error naming the source line and what is wrong.
bool lyricsFileText(std::string_view source, std::string& out, std::string& error);
