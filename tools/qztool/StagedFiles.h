// StagedFiles: several output files written together or not at all. Every file goes to a
// temporary beside its target first; only when all of them are complete are they renamed
// into place, so a failed command leaves neither half files nor a partial set. It owns
// the bytes until commit.
#pragma once

#include <string>
#include <utility>
#include <vector>

class StagedFiles {
public:
    void add(const std::string& path, std::string bytes);
    // False, with "PATH: cannot write: REASON" in failure, when a file cannot be written;
    // the temporaries are then removed and no target is touched.
    bool commit(std::string& failure);

private:
    std::vector<std::pair<std::string, std::string>> files_;
};
