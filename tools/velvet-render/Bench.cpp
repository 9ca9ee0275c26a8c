#include "tools/velvet-render/Bench.h"

#include "app/ShowFrames.h"
#include "app/ShowSession.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Window.h"
#include "platform/GLWindow.h"

#include <GL/gl.h>
// Under callgrind each scene's frames become a dump of their own, counted in instructions
// that do not vary with the machine's load (scene-cost.sh); elsewhere the marks do nothing.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name) ((void)(name))
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

// Frames of a scene drawn before its instructions are counted.
constexpr int COUNT_AFTER = 2;

// The last scene never ends; its middle is taken this far into it.
constexpr std::int64_t LAST_SCENE_MS = 10000;

double nowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Processor time of the calling thread: waiting for the rasteriser is not counted.
double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

// Whether the next frame still belongs to scene: the director moves on once the
// timeline reaches the next scene's start.
bool nextFrameInScene(const Director& director, const ShowFrames& frames, int fps, std::uint32_t scene)
{
    const std::int32_t nextStart = director.sceneStartMs(scene + 1);
    return nextStart < 0 || frameTimeNs(frames.next(), fps) / 1000000 < nextStart;
}

SceneFigures measureScene(std::uint32_t scene, int count, ShowFrames& frames, int fps, Show& show)
{
    RenderDevice& device = *show.device();
    const Director& director = show.director();
    std::vector<double> whole, mainThread, own, triangles, particles;
    for (int i = 0; i < count && nextFrameInScene(director, frames, fps, scene); ++i) {
        if (i == COUNT_AFTER)
            CALLGRIND_ZERO_STATS; // the scene's programs are compiled by now
        const double cpu = threadCpuMs();
        const double start = nowMs();
        frames.draw();
        glFinish();
        whole.push_back(nowMs() - start);
        mainThread.push_back(threadCpuMs() - cpu);
        triangles.push_back(device.stats.triangles);
        particles.push_back(device.stats.particles);
    }
    char mark[48];
    std::snprintf(mark, sizeof mark, "scene %u frames %d", scene, std::max(int(whole.size()) - COUNT_AFTER, 0));
    CALLGRIND_DUMP_STATS_AT(mark);
    // The same work again with every GL call doing nothing: what is left is the program's.
    // Nothing of these frames reaches OpenGL, while the device's state cache records
    // their changes all the same; as they repeat the drawn frames' changes, the cache
    // ends where the last drawn frame left OpenGL. What they upload is lost (a lyrics
    // line reached meanwhile shows only from the next line on): these frames are timed,
    // not looked at.
    platform::suspendGLDriver(true);
    for (int i = 0; i < count && nextFrameInScene(director, frames, fps, scene); ++i) {
        const double cpu = threadCpuMs();
        frames.draw();
        own.push_back(threadCpuMs() - cpu);
    }
    platform::suspendGLDriver(false);

    SceneFigures f;
    f.scene = int(scene);
    f.frames = int(whole.size());
    f.medianMs = median(whole);
    f.p99Ms = percentile99(whole);
    f.cpuMs = median(own);
    f.mainThreadMs = median(mainThread);
    f.triangles = std::llround(median(triangles));
    f.particles = std::llround(median(particles));
    return f;
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double percentile99(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t rank = std::size_t(std::ceil(0.99 * double(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

BenchReport runBench(ShowSession& session, const std::string& dataFolder, int framesPerScene, int fps,
    ShowLoadReport& loaded)
{
    BenchReport report;
    RenderDevice& device = *session.device();
    report.fps = fps;
    report.width = int(device.getWindow()->width);
    report.height = int(device.getWindow()->height);

    Show& show = session.show();
    ShowFrames frames(show, fps);
    const double loadStart = nowMs();
    loaded = session.load(dataFolder);
    if (!loaded.missingForPictures().empty())
        return report;
    frames.draw();
    glFinish();
    report.loadMs = nowMs() - loadStart;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    report.renderer = renderer ? renderer : "unknown";

    const Director& director = show.director();
    for (std::uint32_t scene = 0; scene < std::uint32_t(SCENE_COUNT); ++scene) {
        const std::int32_t start = director.sceneStartMs(scene);
        if (start < 0)
            break;
        const std::int32_t next = director.sceneStartMs(scene + 1);
        const std::int64_t end = next >= 0 ? next : start + LAST_SCENE_MS;
        if (!frames.simulateTo(frameAtMs((start + end) / 2, fps)))
            break;
        std::fprintf(stderr, "velvet-render: scene %u\n", scene);
        report.scenes.push_back(measureScene(scene, framesPerScene, frames, fps, show));
    }
    return report;
}

std::string benchTable(const BenchReport& report)
{
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "renderer: %s, %dx%d, %d fps of show time\nload: %.1f ms (the show's load to the first frame)\n",
        report.renderer.c_str(), report.width, report.height, report.fps, report.loadMs);
    text += line;
    text += "scene  frames  median_ms  p99_ms  cpu_ms  main_ms  triangles  particles\n";
    for (const SceneFigures& f : report.scenes) {
        std::snprintf(line, sizeof line, "%5d  %6d  %9.2f  %6.2f  %6.3f  %7.3f  %9lld  %9lld\n", f.scene, f.frames,
            f.medianMs, f.p99Ms, f.cpuMs, f.mainThreadMs, static_cast<long long>(f.triangles),
            static_cast<long long>(f.particles));
        text += line;
    }
    text += "median_ms, p99_ms: whole frames with glFinish. cpu_ms: the program's own work per frame "
            "(driver suspended). main_ms: the main thread with the driver. The rest is the rasteriser.\n";
    return text;
}

std::string benchJson(const BenchReport& report)
{
    std::string text = "{\"renderer\": " + jsonString(report.renderer);
    char part[320];
    std::snprintf(part, sizeof part, ", \"width\": %d, \"height\": %d, \"fps\": %d, \"load_ms\": %.3f, \"scenes\": [",
        report.width, report.height, report.fps, report.loadMs);
    text += part;
    for (std::size_t i = 0; i < report.scenes.size(); ++i) {
        const SceneFigures& f = report.scenes[i];
        std::snprintf(part, sizeof part,
            "%s{\"scene\": %d, \"frames\": %d, \"median_ms\": %.3f, \"p99_ms\": %.3f, \"cpu_ms\": %.3f, "
            "\"main_thread_ms\": %.3f, \"triangles\": %lld, \"particles\": %lld}",
            i ? ", " : "", f.scene, f.frames, f.medianMs, f.p99Ms, f.cpuMs, f.mainThreadMs,
            static_cast<long long>(f.triangles), static_cast<long long>(f.particles));
        text += part;
    }
    return text + "]}\n";
}
