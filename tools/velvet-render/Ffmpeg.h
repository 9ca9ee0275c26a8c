// The ffmpeg and ffprobe commands as velvet-render runs them: the encoder settings every
// video of the show is made with (one place, so that segments rendered on different
// machines join without re-encoding), and the child processes themselves. A child runs
// in its own process group, out of reach of the Ctrl+C meant for velvet-render, which
// decides itself when to stop it.
#pragma once

#include "tools/velvet-render/ExportSpan.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// The output options that encode the video stream. Every encoder starts its output with a
// keyframe, so each segment does.
std::vector<std::string> videoCodecArguments(bool lossless);
// The input options that read the span of the soundtrack: cut on input, so the sound
// starts on the first frame's show time and ends with the last frame.
std::vector<std::string> soundInputArguments(const std::string& soundtrack, const SoundSpan& span);
// The output options that encode the soundtrack.
std::vector<std::string> audioCodecArguments();

// Adds more at the end of to.
void appendArguments(std::vector<std::string>& to, const std::vector<std::string>& more);

// The full path of program on PATH, or empty.
std::string findOnPath(const std::string& program);

// One running ffmpeg or ffprobe. The owner waits for it or stops it; the destructor stops
// a child still running.
class ToolProcess {
public:
    ToolProcess() = default;
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    // Starts args[0] (a name looked up on PATH) with args. feed: its standard input is a
    // pipe written through input(); capture: its standard output is kept for output().
    // False with error set when the program is missing or cannot start.
    bool start(const std::vector<std::string>& args, bool feed, bool capture, std::string& error);
    // The write end of the input pipe; -1 without one or once closed.
    int input() const { return input_; }
    // Ends the input, then waits for the child, reading what it prints when captured.
    // While it runs, stop (when given) is asked now and then: when it says so the child is
    // terminated. False with error set when it failed, was stopped or ended on a signal.
    bool wait(std::string& error, const std::function<bool()>& stop = {});
    // Terminates the child (if running) and waits for it.
    void kill();
    const std::string& output() const { return output_; }

private:
    void closeInput();
    // Takes what the child printed so far, without waiting.
    void readOutput();

    std::string name_;
    pid_t child_ = -1;
    int input_ = -1;
    int outputPipe_ = -1;
    std::string output_;
};
