// How far a run has come, for the script that started it: a small file holding one line,
// the number of frames done and the number of frames of the whole span (of which a
// segment renders a part), rewritten a few times a second (a new file renamed over the
// old one, so a reader never sees half a line). Export scripts add up the frames done of
// their segments. It owns nothing but the file's name.
#pragma once

#include <chrono>
#include <string>

class ProgressFile {
public:
    // path empty: nothing is written.
    ProgressFile(std::string path, long spanFrames) : path_(std::move(path)), spanFrames_(spanFrames) {}

    // done frames so far; written when some time has passed since the last write, or
    // when final.
    void update(long done, bool final = false);

private:
    std::string path_;
    long spanFrames_;
    std::chrono::steady_clock::time_point lastWritten_{};
};
