// Reading a zip archive held in memory through minizip: the I/O callbacks that stand in
// for minizip's own file functions, over bytes the caller keeps. Read-only: writing
// reports nothing written. It does not own the bytes and knows nothing of zip records.
#pragma once

#include <cstddef>
#include <cstdint>

struct zlib_filefunc64_def_s;

// The bytes of one archive and the stream's position in them.
struct MemoryZipSource {
    const std::uint8_t* data = nullptr;
    std::uint64_t size = 0;
    std::uint64_t position = 0;
};

// Fills io with callbacks that read source, for unzOpen2_64 (the path argument is
// ignored). source and its bytes must outlive every archive opened with io. Seek
// offsets are signed, as fseeko takes them; seeking before the start or past the end
// fails; reading stops at the end.
void fillMemoryZipIo(zlib_filefunc64_def_s& io, MemoryZipSource& source);
