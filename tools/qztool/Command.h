// qztool's skeleton: every subcommand group lives in its own file and registers itself
// here with a static QzCommand, so groups are added without touching main.cpp.
// Exit status: 0 success, 1 failure (one line on standard error naming the file and
// the reason), 2 usage error.
#pragma once

#include <string>
#include <vector>

using QzCommandFn = int (*)(const std::vector<std::string>& args);

struct QzCommand {
    // name: the first word ("zip", "image"); usage: lines printed by `qztool --help`.
    QzCommand(const char* name, const char* usage, QzCommandFn run);
};

// Prints "qztool: " + text to standard error and returns 2 (for usage errors).
int qzUsageError(const std::string& text);
// Prints "qztool: " + text to standard error and returns 1.
int qzFailure(const std::string& text);
