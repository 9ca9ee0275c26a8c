// A text log file with optional echo to standard output and standard error. Every
// message gets exactly one line break appended by print; callers never add their own.
// A Log whose file failed to open stays usable: print then only echoes.
#pragma once

#include <cstdio>

class Log {
public:
    Log() = default;
    // Opens path at once (see open).
    Log(const char* path, bool truncate, bool flushEachMessage);
    ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Closes any open file, then opens path as text: truncated when truncate is true,
    // appended to otherwise. A null path leaves the log closed. isOpen() tells the result.
    void open(const char* path, bool truncate, bool flushEachMessage);
    void close();
    // printf-style message followed by "\n", to the file and to each echo stream.
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));

    bool isOpen() const { return isOpen_; }
    void setEchoStdout(bool on) { echoStdout_ = on; }
    void setEchoStderr(bool on) { echoStderr_ = on; }
    bool echoStdout() const { return echoStdout_; }
    bool echoStderr() const { return echoStderr_; }
    bool flushEachMessage() const { return flushEachMessage_; }

private:
    std::FILE* file_ = nullptr;
    bool isOpen_ = false;
    bool echoStdout_ = false;
    bool echoStderr_ = false;
    bool flushEachMessage_ = false;
};
