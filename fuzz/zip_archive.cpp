// libFuzzer target: arbitrary bytes read as a zip archive through qzUnzipFileSys, the
// registry's zip reader, mounted from memory (minizip's I/O callbacks, no file): list
// the members, look each one up, read it in pieces and whole through FileBuffer as the
// engine's loaders do. Nothing here may crash, hang or touch memory it does not own,
// whatever the bytes.
#include "engine/core/FileSystems.h"
#include "engine/core/qzUnzipFileSys.h"
#include "engine/math/FileBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Inflating is zlib's, not what is tested: a member is read in pieces up to this many
// bytes, and whole only when it is no larger.
constexpr std::uint32_t MEMBER_BUDGET = 64 * 1024;

qzUnzipFileSys* startZipReader()
{
    initFileSystems();
    selectFileSystem(FS_SLOT_UNZIP, "");
    return dynamic_cast<qzUnzipFileSys*>(currentFileSystem());
}

// Reads the open member in pieces up to the budget and closes it; its recorded length.
std::uint32_t readPieces(qzUnzipFileSys& zip)
{
    std::uint8_t chunk[4096];
    std::uint32_t total = 0;
    std::uint32_t length = zip.fileLength(0);
    while (total < MEMBER_BUDGET) {
        std::int32_t n = zip.read(0, chunk, sizeof chunk);
        if (n <= 0)
            break;
        total += static_cast<std::uint32_t>(n);
        zip.getPosition(0);
    }
    zip.closeFile(0);
    return length;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static qzUnzipFileSys* const zip = startZipReader();
    if (!zip)
        return 0;
    zip->mountMemory(data, size);
    std::vector<std::string> names;
    if (zip->isMounted() && zip->listMembers(names)) {
        for (const std::string& name : names) {
            if (!zip->fileExists(name.c_str()) || zip->openFile(name.c_str(), FS_READ | FS_BINARY) != 0)
                continue;
            FileBuffer whole;
            if (readPieces(*zip) <= MEMBER_BUDGET && whole.load(name.c_str()))
                whole.readString();
        }
        zip->openFile("no such member", FS_READ);
    }
    zip->unmount();
    return 0;
}
