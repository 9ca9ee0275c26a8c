// The show's benchmark: how long the show takes to load (from the start of its load to
// the first frame on screen), then for each scene, from its middle, the time of whole frames (glFinish
// each frame), the main thread's processor time with the driver and without it, and
// what was drawn. The figures say where a frame's time goes:
//   cpu_ms   the program's own work (update, recipes, device, effects): the same frames
//            run with the OpenGL driver suspended, every GL call doing nothing;
//   main_ms  the main thread's processor time with the driver (cpu_ms plus the driver's
//            own work on that thread: state, vertices, command building);
//   the rest of median_ms is the rasteriser (on llvmpipe, its worker threads).
// It owns nothing; the show runs in the session it is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ShowSession;
struct ShowLoadReport;

struct SceneFigures {
    int scene = 0;
    int frames = 0;           // frames drawn and timed (fewer when the scene ends first)
    double medianMs = 0.0;    // whole frame, glFinish included
    double p99Ms = 0.0;
    double cpuMs = 0.0;       // median, driver suspended
    double mainThreadMs = 0.0; // median, driver working
    std::int64_t triangles = 0; // median per frame (the device's count)
    std::int64_t particles = 0; // median per frame (the particle systems' count)
};

struct BenchReport {
    std::string renderer;
    int width = 0;
    int height = 0;
    int fps = 0;
    double loadMs = 0.0;
    std::vector<SceneFigures> scenes;
};

// Loads the show from dataFolder in session (opened, not loaded) and measures every
// scene the timeline reaches, drawing up to framesPerScene frames from each scene's
// middle. The virtual clock must be running. loaded gets what the load found missing;
// nothing is measured when a file the pictures need is missing.
BenchReport runBench(ShowSession& session, const std::string& dataFolder, int framesPerScene, int fps,
    ShowLoadReport& loaded);

// Median and nearest-rank 99th percentile of values; 0 for none.
double median(std::vector<double> values);
double percentile99(std::vector<double> values);

// The report as a table for people, or as one JSON object.
std::string benchTable(const BenchReport& report);
std::string benchJson(const BenchReport& report);
