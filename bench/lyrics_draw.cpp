// The lyrics overlay per frame on the OpenGL device: a frame whose line is unchanged
// (bands and strip drawn, canvas kept), and a frame that composes a full line on the
// canvas and uploads it (a line change). Prints the renderer the figures were taken on.
#include "demo/effects/BitmapFont.h"
#include "demo/effects/LyricsText.h"
#include "engine/core/FileSystems.h"
#include "engine/core/qzFileSystem.h"
#include "engine/render/AppWindow.h"
#include "engine/render/GLRenderDevice.h"

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const char* const LINE = "we make the night go round and round, the orbit sings along ";

void put(std::FILE* f, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        std::fputc(int(v >> (8 * i)) & 0xFF, f);
}

// A 256 x 256 24-bit BMP, grey ramps across every cell.
void writeFontBmp(const char* name)
{
    std::FILE* f = std::fopen(name, "wb");
    if (!f)
        std::abort();
    std::fputs("BM", f);
    put(f, 54 + 256 * 256 * 3, 4);
    put(f, 0, 4);
    put(f, 54, 4);
    for (std::uint32_t v : {40u, 256u, 256u})
        put(f, v, 4);
    put(f, 1, 2);
    put(f, 24, 2);
    for (int i = 0; i < 6; ++i)
        put(f, 0, 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            put(f, (x % 16) * 0x101010u, 3);
    std::fclose(f);
}

struct Overlay {
    GLRenderDevice* device = nullptr;
    FontRegistry fonts;
    LyricsText lyrics;
    TextCanvas canvas;
    const BitmapFont* font = nullptr;
};

Overlay& overlay()
{
    static Overlay o;
    if (o.device)
        return o;
    // Files and "Init.log" go to a scratch directory, which the disk file system enters.
    char dir[] = "/tmp/bench_lyrics_XXXXXX";
    if (!mkdtemp(dir) || registerFileSystem(new qzFileSystem) != 0)
        std::abort();
    selectFileSystem(0, "");
    setDirectory(dir);
    writeFontBmp("font.bmp");
    if (std::FILE* f = std::fopen("rap.txt", "w")) {
        std::fprintf(f, "0 %s|\n", LINE);
        std::fclose(f);
    }
    auto* window = new AppWindow(1024, 768, 32, false, false);
    o.device = new GLRenderDevice();
    o.device->attachWindow(window);
    o.device->resize(1024, 768);
    std::printf("GL_RENDERER: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    o.lyrics.startClock();
    o.lyrics.init(*o.device, o.fonts, "rap.txt", "font.bmp", "noir.bmp");
    o.font = o.fonts.get(o.fonts.find("font.bmp"));
    o.canvas.init(*o.device, LyricsText::CANVAS_WIDTH, LyricsText::CANVAS_HEIGHT);
    return o;
}

void UnchangedLineFrame(benchmark::State& state)
{
    Overlay& o = overlay();
    for (auto _ : state) {
        o.lyrics.draw(*o.device);
        glFinish();
    }
}
BENCHMARK(UnchangedLineFrame);

void ComposeAndUploadLine(benchmark::State& state)
{
    Overlay& o = overlay();
    for (auto _ : state) {
        o.canvas.clear();
        o.canvas.drawText(o.font, LINE);
        glFinish();
    }
}
BENCHMARK(ComposeAndUploadLine);

}

BENCHMARK_MAIN();
