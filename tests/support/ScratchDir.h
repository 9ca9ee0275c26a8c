// A fresh temporary directory for one test, removed with everything in it when the
// object goes out of scope. Also small helpers to write and read whole files there.
#pragma once

#include <string>
#include <vector>

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // Writes bytes to path() + "/" + name (creating parent directories); the full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// The whole content of a file; empty when it cannot be read.
std::string readWholeFile(const std::string& path);
// Runs a shell command; its exit status (-1 when it could not run).
int runCommand(const std::string& command);
// Runs a shell command and returns its standard output; status receives the exit status.
std::string captureCommand(const std::string& command, int* status = nullptr);
// Quotes text for the shell.
std::string shellQuote(const std::string& text);
