// Page Down and Page Up in the live show: jump to the start of the next and of the
// previous scene, by seeking (the show replays itself from its start without drawing,
// then carries on with the music from there). One jump per press: holding a key does not
// repeat. Reads the keyboard through the platform layer; owns nothing but whether each
// key was down at the last look.
#pragma once

class Show;

// Once per live frame, before the show's update.
void handleSceneKeys(Show& show);
