// Runs a program of the build as a child process with its output captured, for tests
// of whole programs (exit status, what they print, how they end on a signal).
#pragma once

#include <string>
#include <vector>

struct ChildResult {
    int exitStatus = -1;   // exit code, or -1 when the child did not exit normally
    int termSignal = 0;    // signal that ended it, 0 when it exited
    std::string out;       // standard output
    std::string err;       // standard error
};

struct ChildOptions {
    std::string workingDirectory;           // empty: the test's own
    std::vector<std::string> environment;   // extra NAME=VALUE entries
    double signalAfterSeconds = -1.0;       // >= 0: send signalNumber after this long
    int signalNumber = 2;                   // SIGINT; exports are stopped by SIGTERM too
    double killAfterSeconds = 120.0;        // safety net: SIGKILL after this long
    std::string input;                      // standard input
};

ChildResult runChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

// runChild on the program of that name in the build directory, with args.
ChildResult runBuilt(const std::string& program, const std::vector<std::string>& args,
    const ChildOptions& options = {});
