// Reading a 10 MiB member from a deflated zip archive: through the engine (mount the
// archive in the registry, load the member whole into a FileBuffer, unmount) against
// the same work done by Info-ZIP `unzip -p` run as a child process, in the same run.
// Prints the ratios engine / unzip at the end, of wall time and of CPU time (the child's
// CPU time comes from getrusage; on a loaded machine the CPU ratio is the steadier one).
//
// Run: build/bench_zip_read   (needs zip and unzip on the PATH)
#include "engine/core/FileSystems.h"
#include "engine/math/FileBuffer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr std::size_t MEMBER_SIZE = 10u << 20;
const char* MEMBER = "Data/Models/Big.qzg";

struct Archive {
    std::string dir;
    std::string path;
    bool ok = false;

    Archive()
    {
        char pattern[] = "/tmp/bench-zip-XXXXXX";
        if (!::mkdtemp(pattern))
            return;
        dir = pattern;
        path = dir + "/big.zip";
        std::filesystem::create_directories(dir + "/src/Data/Models");
        // Geometry-like data: runs of repeated floats mixed with noise; deflates to about half.
        std::mt19937 random(7);
        std::string bytes;
        bytes.reserve(MEMBER_SIZE);
        while (bytes.size() < MEMBER_SIZE) {
            std::uint32_t word = random();
            int repeat = 1 + static_cast<int>(word % 4);
            for (int i = 0; i < repeat; ++i)
                bytes.append(reinterpret_cast<const char*>(&word), (word >> 8) % 2 ? 4 : 3);
        }
        bytes.resize(MEMBER_SIZE);
        std::ofstream(dir + "/src/" + MEMBER, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::string command = "cd '" + dir + "/src' && zip -q -6 '" + path + "' " + MEMBER;
        ok = std::system(command.c_str()) == 0;
    }
    ~Archive()
    {
        std::error_code ignored;
        if (!dir.empty())
            std::filesystem::remove_all(dir, ignored);
    }
};

Archive& archive()
{
    static Archive a;
    return a;
}

double engineSeconds = 0.0;
double unzipSeconds = 0.0;
double engineCpuSeconds = 0.0;
double unzipCpuSeconds = 0.0;

double processCpuSeconds()
{
    timespec t {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double childrenCpuSeconds()
{
    rusage u {};
    ::getrusage(RUSAGE_CHILDREN, &u);
    auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + static_cast<double>(v.tv_usec) * 1e-6; };
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

void BM_EngineReadMember(benchmark::State& state)
{
    if (!archive().ok) {
        state.SkipWithError("cannot make the archive (zip missing?)");
        return;
    }
    initFileSystems();
    double total = 0.0;
    double cpuStart = processCpuSeconds();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        selectFileSystem(FS_SLOT_UNZIP, archive().path.c_str());
        FileBuffer buffer;
        bool loaded = buffer.load(MEMBER);
        benchmark::DoNotOptimize(buffer.data());
        selectFileSystem(FS_SLOT_DISK, "");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!loaded || buffer.size() != MEMBER_SIZE) {
            state.SkipWithError("engine could not read the member");
            break;
        }
    }
    engineCpuSeconds = (processCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    shutdownFileSystems();
    engineSeconds = total / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * MEMBER_SIZE));
}

void BM_UnzipPipeMember(benchmark::State& state)
{
    if (!archive().ok) {
        state.SkipWithError("cannot make the archive (zip missing?)");
        return;
    }
    double total = 0.0;
    double cpuStart = childrenCpuSeconds();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        std::string path = archive().path;
        char* argv[] = { const_cast<char*>("unzip"), const_cast<char*>("-p"), path.data(),
            const_cast<char*>(MEMBER), nullptr };
        pid_t pid = 0;
        int status = -1;
        if (posix_spawnp(&pid, "unzip", &actions, nullptr, argv, environ) == 0)
            ::waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&actions);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("unzip -p failed");
            break;
        }
    }
    unzipCpuSeconds = (childrenCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    unzipSeconds = total / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * MEMBER_SIZE));
}

BENCHMARK(BM_EngineReadMember)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_UnzipPipeMember)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (engineSeconds > 0.0 && unzipSeconds > 0.0)
        std::printf("zip member read, 10 MiB: engine %.2f ms, unzip -p %.2f ms, ratio engine/unzip %.3f\n",
            engineSeconds * 1e3, unzipSeconds * 1e3, engineSeconds / unzipSeconds);
    if (engineCpuSeconds > 0.0 && unzipCpuSeconds > 0.0)
        std::printf("zip member read, 10 MiB, CPU: engine %.2f ms, unzip -p %.2f ms, ratio engine/unzip %.3f\n",
            engineCpuSeconds * 1e3, unzipCpuSeconds * 1e3, engineCpuSeconds / unzipCpuSeconds);
    return 0;
}
