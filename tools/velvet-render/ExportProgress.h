// How far an export has come, on standard error: on a terminal a bar redrawn in place
// (frames done, frames per second, time left), otherwise a plain line every tenth of the
// way. Frames run without drawing count as done frames too. While the bar stands, what
// the show prints on its console (standard output) is taken through a pipe and written
// out above the bar, so neither tramples the other. It owns that pipe.
#pragma once

#include <chrono>
#include <string>

// The bar's text for done of total frames after seconds of work.
std::string progressBar(long done, long total, double seconds);
// The plain line's text.
std::string progressLine(long done, long total, double seconds);

class ExportProgress {
public:
    ExportProgress(long total, bool terminal);
    ~ExportProgress();
    ExportProgress(const ExportProgress&) = delete;
    ExportProgress& operator=(const ExportProgress&) = delete;

    // done frames so far (1 .. total).
    void frame(long done);
    // Ends the bar's line and gives standard output back (an export that stops early
    // leaves its bar standing).
    void finish();

private:
    void relayConsole();

    long total_;
    bool terminal_;
    bool drawn_ = false;
    int consoleOut_ = -1; // the real standard output while the bar stands
    int consolePipe_ = -1;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDrawn_;
};
