// A fresh directory under /tmp for one test, removed with everything in it afterwards.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string readWholeFile(const std::string& path);
// Writes bytes to path, replacing it; false on failure.
bool writeWholeFile(const std::string& path, const std::string& bytes);
