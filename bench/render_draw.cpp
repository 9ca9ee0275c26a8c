// Draw throughput of the OpenGL device: the same triangles through vertex arrays
// (draw) and through a display list (static buffer), and the cost of a cached setter
// that filters a repeated value. Prints the renderer the figures were taken on.
#include "engine/render/AppWindow.h"
#include "engine/render/GLRenderDevice.h"

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

struct Scene {
    GLRenderDevice* device = nullptr;
    std::vector<float> vertices;      // position + colour, a grid of small triangles
    std::vector<std::uint16_t> indices;
    int vertexCount = 0;
};

Scene& scene()
{
    static Scene s;
    if (s.device)
        return s;
    // "Init.log" goes to a scratch directory, not the build directory.
    char dir[] = "/tmp/bench_render_XXXXXX";
    char previous[4096];
    if (!mkdtemp(dir) || !getcwd(previous, sizeof previous) || chdir(dir) != 0)
        std::abort();
    auto* window = new AppWindow(256, 256, 32, false, false);
    s.device = new GLRenderDevice();
    s.device->attachWindow(window);
    if (chdir(previous) != 0)
        std::abort();
    s.device->resize(256, 256);
    s.device->setProjection(Mat4());
    s.device->setTextureSlot(0, -1);
    std::printf("GL_RENDERER: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    const int n = 32; // 32 x 32 cells, two triangles each
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            const float px = -1.0f + 2.0f * x / n;
            const float py = -1.0f + 2.0f * y / n;
            std::uint32_t colour = 0xFF000000u | (std::uint32_t(x * 8) << 8) | std::uint32_t(y * 8);
            float packed;
            std::memcpy(&packed, &colour, 4);
            s.vertices.insert(s.vertices.end(), {px, py, 0.0f, packed});
        }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const std::uint16_t a = std::uint16_t(y * (n + 1) + x);
            const std::uint16_t b = std::uint16_t(a + 1), c = std::uint16_t(a + n + 1), d = std::uint16_t(c + 1);
            s.indices.insert(s.indices.end(), {a, b, c, b, d, c});
        }
    s.vertexCount = (n + 1) * (n + 1);
    return s;
}

constexpr int Format = 0x001 | 0x004;

void DynamicDraw(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.device->draw(PrimitiveType::TriangleList, s.vertices.data(), s.vertexCount, Format, s.indices.data(),
                       static_cast<int>(s.indices.size()));
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(s.indices.size() / 3));
}
BENCHMARK(DynamicDraw);

void StaticBufferDraw(benchmark::State& state)
{
    Scene& s = scene();
    const int buffer = s.device->createBuffer(PrimitiveType::TriangleList, s.vertexCount, Format,
                                              static_cast<int>(s.indices.size()));
    s.device->fillBuffer(buffer, s.vertices.data(), s.indices.data());
    for (auto _ : state) {
        s.device->drawBuffer(buffer);
        glFinish();
    }
    s.device->destroyBuffer(buffer);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(s.indices.size() / 3));
}
BENCHMARK(StaticBufferDraw);

void CachedSetterRepeat(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state)
        s.device->setBlendFuncCached(BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha);
}
BENCHMARK(CachedSetterRepeat);

void SetterReachingGL(benchmark::State& state)
{
    Scene& s = scene();
    int i = 0;
    for (auto _ : state)
        s.device->setBlendFuncCached(BlendFactor::SrcAlpha, (++i & 1) ? BlendFactor::One : BlendFactor::InvSrcAlpha);
}
BENCHMARK(SetterReachingGL);

}

BENCHMARK_MAIN();
