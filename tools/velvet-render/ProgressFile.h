// How far a run has come, for the script that started it: a small file holding the number
// of frames done and a line end, rewritten a few times a second (a new file renamed over
// the old one, so a reader never sees half a number). Export scripts add up those of
// their segments. It owns nothing but the file's name.
#pragma once

#include <chrono>
#include <string>

class ProgressFile {
public:
    // path empty: nothing is written.
    explicit ProgressFile(std::string path) : path_(std::move(path)) {}

    // done frames so far; written when some time has passed since the last write, or
    // when final.
    void update(long done, bool final = false);

private:
    std::string path_;
    std::chrono::steady_clock::time_point lastWritten_{};
};
