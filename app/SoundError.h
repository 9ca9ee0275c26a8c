// The sound layer's error codes and their texts. The numbering is the one the show's
// console messages have always used (0 no error .. 18), whatever the audio library
// underneath; the platform's failures are mapped onto the closest code.
#pragma once

enum SoundError {
    SOUND_ERR_NONE = 0,
    SOUND_ERR_BUSY = 1,
    SOUND_ERR_UNINITIALIZED = 2,
    SOUND_ERR_INIT = 3,
    SOUND_ERR_ALLOCATED = 4,
    SOUND_ERR_PLAY = 5,
    SOUND_ERR_OUTPUT_FORMAT = 6,
    SOUND_ERR_COOPERATIVE_LEVEL = 7,
    SOUND_ERR_CREATE_BUFFER = 8,
    SOUND_ERR_FILE_NOT_FOUND = 9,
    SOUND_ERR_FILE_FORMAT = 10,
    SOUND_ERR_FILE_BAD = 11,
    SOUND_ERR_MEMORY = 12,
    SOUND_ERR_VERSION = 13,
    SOUND_ERR_INVALID_PARAM = 14,
    SOUND_ERR_NO_EAX = 15,
    SOUND_ERR_CHANNEL_ALLOC = 16,
    SOUND_ERR_RECORD = 17,
    SOUND_ERR_MEDIAPLAYER = 18,
};

// Constant text for an error code; "Unknown error" for any code outside 0 .. 18.
const char* soundErrorText(int code);
