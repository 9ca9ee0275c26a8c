// libFuzzer target: an arbitrary file read as a zip archive through qzUnzipFileSys,
// mounted in the registry as the engine mounts it: list the members, look each one up,
// read it in pieces and whole through FileBuffer. Nothing here may crash, hang or
// touch memory it does not own, whatever the bytes.
#include "engine/core/FileSystems.h"
#include "engine/core/qzUnzipFileSys.h"
#include "engine/math/FileBuffer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Reading stops after this many bytes of one member: inflating is not what is tested.
constexpr std::uint32_t MEMBER_BUDGET = 1u << 20;

const std::string& scratchPath()
{
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_zip_archive." + std::to_string(::getpid()) + ".zip";
    }();
    return path;
}

bool writeScratch(const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void readPieces(qzUnzipFileSys& zip)
{
    std::uint8_t chunk[4096];
    std::uint32_t total = 0;
    zip.fileLength(0);
    while (total < MEMBER_BUDGET) {
        std::int32_t n = zip.read(0, chunk, sizeof chunk);
        if (n <= 0)
            break;
        total += static_cast<std::uint32_t>(n);
        zip.getPosition(0);
    }
    zip.closeFile(0);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool started = [] {
        initFileSystems();
        std::atexit([] { ::unlink(scratchPath().c_str()); });
        return true;
    }();
    (void)started;
    if (!writeScratch(data, size))
        return 0;

    selectFileSystem(FS_SLOT_UNZIP, scratchPath().c_str());
    auto* zip = dynamic_cast<qzUnzipFileSys*>(currentFileSystem());
    std::vector<std::string> names;
    if (zip && zip->isMounted() && zip->listMembers(names)) {
        for (const std::string& name : names) {
            if (!zip->fileExists(name.c_str()))
                continue;
            if (zip->openFile(name.c_str(), FS_READ | FS_BINARY) == 0)
                readPieces(*zip);
            FileBuffer whole;
            if (whole.load(name.c_str()))
                whole.readString();
        }
        zip->openFile("no such member", FS_READ);
    }
    selectFileSystem(FS_SLOT_DISK, "");
    return 0;
}
