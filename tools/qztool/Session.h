// What every qztool command shares: the engine's file systems for the length of one
// command, whole files read and written, and the one-line failure report with its exit
// status (see Command.h). Formats, decoding and argument checks stay with the commands.
#pragma once

#include <string>

// The file-system registry as the engine starts it (the disk one current, the zip ones
// registered) from construction to destruction, the last error cleared first.
class QzSession {
public:
    QzSession();
    ~QzSession();
    QzSession(const QzSession&) = delete;
    QzSession& operator=(const QzSession&) = delete;
};

// Prints "qztool: " + text to standard error and returns 2 (for usage errors).
int qzUsageError(const std::string& text);
// Prints "qztool: " + text to standard error and returns 1.
int qzFailure(const std::string& text);
// A failure about one file: "qztool: FILE: REASON", returns 1.
int qzFailure(const std::string& file, const std::string& reason);

// Appends the whole disk file at path (read with stdio, not through the registry) to
// bytes. False when it cannot be opened or a read fails.
bool readWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to path through a temporary file renamed into place, so a failure
// leaves no partial file. False (with errno's text in reason) when it cannot.
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& reason);
// writeWholeFile reported: 0, or 1 after "PATH: cannot write: REASON".
int writeOutputFile(const std::string& path, const std::string& bytes);
// Writes bytes to standard output and flushes it: 0, or 1 after "standard output: write failed".
int writeStandardOutput(const std::string& bytes);
