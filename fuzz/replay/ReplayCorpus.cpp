// Replays a fuzz target's regression corpus without libFuzzer (and without clang):
// every file under the folders given goes once through the target's own entry point,
// handed over as libFuzzer hands it, in a buffer of exactly its size. A crash, a trap
// or (in a sanitizer build) a sanitizer report fails the run. Each input's name goes to
// standard error before it runs, so the last one named is the one that failed.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

// The regular files under each path (a file stands for itself), sorted by name.
std::vector<std::filesystem::path> inputsUnder(int count, char** paths)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 0; i < count; ++i) {
        std::error_code error;
        if (std::filesystem::is_regular_file(paths[i], error)) {
            inputs.emplace_back(paths[i]);
            continue;
        }
        for (std::filesystem::recursive_directory_iterator it(paths[i], error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_regular_file(error))
                inputs.push_back(it->path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

bool readInput(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR|FILE...\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    const std::vector<std::filesystem::path> inputs = inputsUnder(argc - 1, argv + 1);
    if (inputs.empty()) {
        std::fprintf(stderr, "%s: no inputs under %s\n", argv[0], argv[1]);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    std::size_t bytesTotal = 0;
    std::vector<std::uint8_t> bytes;
    for (const std::filesystem::path& path : inputs) {
        if (!readInput(path, bytes)) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], path.c_str());
            return 1;
        }
        std::fprintf(stderr, "input %s\n", path.c_str());
        // A copy of exactly the input's size, so a read past its end is caught.
        std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[std::max<std::size_t>(bytes.size(), 1)]);
        std::copy(bytes.begin(), bytes.end(), copy.get());
        LLVMFuzzerTestOneInput(copy.get(), bytes.size());
        bytesTotal += bytes.size();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %zu inputs (%zu bytes) replayed in %.2f s\n", argv[0], inputs.size(), bytesTotal, seconds);
    return 0;
}
