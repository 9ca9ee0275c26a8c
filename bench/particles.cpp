// The show's six particle systems (5500 particles, as the climax scene draws them) at
// 1024 x 768: one frame of simulate (the CPU work alone) and one frame of
// drawAndUpdate finished by glFinish (motion, billboards and software rasterisation),
// for each system and for all six. Prints the renderer the figures were taken on.
#include "demo/effects/ParticleSystem.h"
#include "demo/effects/ShowRandom.h"
#include "engine/render/AppWindow.h"
#include "engine/render/GLRenderDevice.h"

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

struct ShowSystem {
    int type, count;
    Vec3 emitter, extent;
};

const ShowSystem kShowSystems[6] = {
    {3, 1000, {0, 20, -30}, {10, 10, 10}}, {1, 1000, {-200, 20, -200}, {200, 180, 200}},
    {4, 500, {-20, 5, -150}, {10, 10, 10}}, {6, 1000, {0, 10, 0}, {10, 10, 10}},
    {5, 2000, {0, 10, 0}, {10, 10, 10}},    {0, 2000, {-30, 10, 0}, {10, 10, 10}},
};

// The eye 60 units in front of the emitters and a little above, looking down -z.
const Vec3 kCamera(0, -15, -60);
constexpr float kFrame = 1.0f / 30.0f;

// A 32 x 32 soft white dot as a 24-bit bottom-up BMP.
void writeSprite(const char* path)
{
    const int side = 32;
    std::string file = "BM";
    auto put = [&file](unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file += char((v >> (8 * i)) & 0xFF);
    };
    put(54 + side * side * 3, 4), put(0, 4), put(54, 4);
    put(40, 4), put(side, 4), put(side, 4), put(1, 2), put(24, 2), put(0, 4 * 6);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float fade = std::fmax(0.0f, 1.0f - std::hypot(x - 15.5f, y - 15.5f) / 16.0f);
            put(unsigned(255 * fade) * 0x010101u, 3);
        }
    std::FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0)
        std::abort();
}

struct Show {
    GLRenderDevice* device = nullptr;
    ParticleSprite sprite;
    ParticleSystem systems[6];
};

Show& show()
{
    static Show s;
    if (s.device)
        return s;
    // "Init.log" and the sprite go to a scratch directory, not the build directory.
    char dir[] = "/tmp/bench_particles_XXXXXX";
    char previous[4096];
    if (!mkdtemp(dir) || !getcwd(previous, sizeof previous) || chdir(dir) != 0)
        std::abort();
    auto* window = new AppWindow(1024, 768, 32, false, false);
    s.device = new GLRenderDevice();
    s.device->attachWindow(window);
    s.device->resize(1024, 768);
    s.device->setPerspective(90, 0.1f, 1000);
    Mat4 view;
    view.setTranslation(kCamera.x, kCamera.y, kCamera.z);
    s.device->setView(view);
    writeSprite("Particle.bmp");
    if (!s.sprite.load("Particle.bmp"))
        std::abort();
    seedShowRandom(1);
    for (int i = 0; i < 6; ++i) {
        const ShowSystem& setup = kShowSystems[i];
        if (s.systems[i].init(setup.type, s.sprite, setup.count, setup.emitter, setup.extent) != 0)
            std::abort();
        // A few seconds in, so the systems have spread out as they do in the show.
        for (int frame = 0; frame < 90; ++frame)
            s.systems[i].simulate(kFrame, kCamera);
    }
    if (chdir(previous) != 0)
        std::abort();
    std::printf("GL_RENDERER: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    return s;
}

// Argument: index into kShowSystems, or 6 for all six.
void range(benchmark::State& state, int& first, int& last)
{
    first = state.range(0) < 6 ? int(state.range(0)) : 0;
    last = state.range(0) < 6 ? first + 1 : 6;
    state.SetLabel(state.range(0) < 6 ? "type " + std::to_string(kShowSystems[first].type) : "all six");
}

void Simulate(benchmark::State& state)
{
    Show& s = show();
    int first, last;
    range(state, first, last);
    std::int64_t particles = 0;
    for (auto _ : state)
        for (int i = first; i < last; ++i) {
            s.systems[i].simulate(kFrame, kCamera);
            particles += s.systems[i].count();
        }
    state.SetItemsProcessed(particles);
}
BENCHMARK(Simulate)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

void DrawAndUpdate(benchmark::State& state)
{
    Show& s = show();
    int first, last;
    range(state, first, last);
    std::int64_t drawn = 0;
    for (auto _ : state) {
        s.device->clearAll();
        for (int i = first; i < last; ++i) {
            s.systems[i].drawAndUpdate(*s.device, kFrame, kCamera);
            drawn += s.systems[i].drawnCount();
        }
        glFinish();
    }
    state.SetItemsProcessed(drawn);
}
BENCHMARK(DrawAndUpdate)->DenseRange(0, 6)->Unit(benchmark::kMillisecond)->UseRealTime();

}

BENCHMARK_MAIN();
