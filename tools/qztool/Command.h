// qztool's skeleton: every subcommand group lives in its own file and registers itself
// here with a static QzCommand, so groups are added without touching main.cpp.
// Exit status: 0 success, 1 failure (one line on standard error naming the file and
// the reason), 2 usage error; Session.h reports them.
#pragma once

#include <string>
#include <vector>

using QzCommandFn = int (*)(const std::vector<std::string>& args);

struct QzCommand {
    // name: the first word ("zip", "image"); usage: lines printed by `qztool --help`.
    QzCommand(const char* name, const char* usage, QzCommandFn run);
};
