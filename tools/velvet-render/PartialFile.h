// A file written under a temporary name beside its final one ("show.partial-PID.mp4" for
// "show.mp4": the same folder, so the rename is atomic, and the same extension, which
// ffmpeg reads the format from) and renamed to its final name only once complete. An
// export that does not finish leaves nothing under the output's name. It owns the
// temporary file until commit.
#pragma once

#include <string>

class PartialFile {
public:
    explicit PartialFile(const std::string& finalPath);
    // Removes the temporary file unless it was committed.
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    // Where to write.
    const std::string& path() const { return partial_; }
    const std::string& finalPath() const { return final_; }
    // Renames the temporary file to the final name. False with error set when it cannot.
    bool commit(std::string& error);

private:
    std::string final_;
    std::string partial_;
    bool committed_ = false;
};
