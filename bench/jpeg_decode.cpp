// JPEG decoding speed: a 1024 x 768 picture (made at run time with ImageMagick and
// cjpeg) loaded through the engine (Image::load: file system, FileBuffer, libjpeg) and
// decoded by libjpeg's own djpeg in the same run. djpeg pays for starting a process,
// so an 8 x 8 picture measures that fixed cost and a corrected ratio is printed too.
//   build/bench_jpeg_decode
#include "engine/core/EngineHooks.h"
#include "engine/core/FileSystems.h"
#include "engine/core/qzFileSystem.h"
#include "engine/material/Image.h"
#include "engine/material/JpegDecoder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

struct Pictures {
    std::string dir;
    std::string large;  // 1024 x 768
    std::string tiny;   // 8 x 8
    std::vector<std::uint8_t> largeBytes;
    bool ok = false;
};

Pictures& pictures()
{
    static Pictures p = [] {
        Pictures made;
        made.dir = (std::filesystem::temp_directory_path() / ("velvet-bench-jpeg-" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(made.dir);
        made.large = made.dir + "/large.jpg";
        made.tiny = made.dir + "/tiny.jpg";
        std::string ppm = made.dir + "/large.ppm";
        std::string tinyPpm = made.dir + "/tiny.ppm";
        std::string make = "convert -size 1024x768 gradient:yellow-navy -swirl 200 -seed 7 -attenuate 0.4 +noise Gaussian"
                           " -depth 8 ppm:'" + ppm + "' && cjpeg -quality 90 -outfile '" + made.large + "' '" + ppm
            + "' && convert -size 8x8 xc:gray -depth 8 ppm:'" + tinyPpm + "' && cjpeg -outfile '" + made.tiny + "' '"
            + tinyPpm + "'";
        made.ok = std::system(make.c_str()) == 0;
        std::ifstream in(made.large, std::ios::binary);
        made.largeBytes.assign(std::istreambuf_iterator<char>(in), {});
        return made;
    }();
    return p;
}

void engineLoad(benchmark::State& state)
{
    Pictures& p = pictures();
    startEngineServices();
    bool ownDisk = false;
    if (!currentFileSystem()) {
        registerFileSystem(new qzFileSystem);
        selectFileSystem(FS_SLOT_DISK, "");
        ownDisk = true;
    }
    for (auto _ : state) {
        Image image;
        if (!image.load(p.large.c_str())) {
            state.SkipWithError("Image::load failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels());
    }
    stopEngineServices();
    if (ownDisk)
        shutdownFileSystems();
}

void engineDecodeFromMemory(benchmark::State& state)
{
    Pictures& p = pictures();
    for (auto _ : state) {
        Image image;
        if (!decodeJpeg(p.largeBytes.data(), p.largeBytes.size(), image)) {
            state.SkipWithError("decodeJpeg failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels());
    }
}

void runDjpeg(benchmark::State& state, const std::string& file)
{
    std::string command = "djpeg -outfile /dev/null '" + file + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
    }
}

void djpegLarge(benchmark::State& state) { runDjpeg(state, pictures().large); }
void djpegTiny(benchmark::State& state) { runDjpeg(state, pictures().tiny); }

// Keeps each benchmark's real time per iteration (milliseconds) for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                std::string name = run.benchmark_name();
                times[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}

BENCHMARK(engineLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(engineDecodeFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(djpegLarge)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(djpegTiny)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!pictures().ok) {
        std::fprintf(stderr, "bench_jpeg_decode: could not make the test pictures with convert and cjpeg\n");
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(pictures().dir, ignored);

    auto& t = reporter.times;
    if (t.count("engineLoad") && t.count("djpegLarge") && t.count("djpegTiny")) {
        double engine = t["engineLoad"], djpeg = t["djpegLarge"], startup = t["djpegTiny"];
        std::printf("1024x768 JPEG: engine %.2f ms, djpeg %.2f ms (process start-up about %.2f ms)\n",
                    engine, djpeg, startup);
        std::printf("ratio engine / djpeg: %.3f\n", engine / djpeg);
        if (djpeg > startup)
            std::printf("ratio engine / (djpeg - start-up): %.3f\n", engine / (djpeg - startup));
    }
    return 0;
}
