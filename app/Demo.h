// The show as the frame loop sees it: load once, then update and render once per frame.
// The frame loop does not care what they do.
#pragma once

// Loads the whole show (data folder, timeline, paths, content, music, lyrics, camera).
void demoInit();
// Advances the show by one frame (ticks the frame clock first).
void demoUpdate();
// Draws one frame and presents it.
void demoRender();
