#include "engine/core/MemoryZipIo.h"

#include <cstring>
#include <minizip/ioapi.h>

namespace {

MemoryZipSource& sourceOf(voidpf opaque)
{
    return *static_cast<MemoryZipSource*>(opaque);
}

voidpf ZCALLBACK openSource(voidpf opaque, const void*, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    sourceOf(opaque).position = 0;
    return opaque;
}

uLong ZCALLBACK readSource(voidpf opaque, voidpf, void* buffer, uLong count)
{
    MemoryZipSource& source = sourceOf(opaque);
    std::uint64_t left = source.size - source.position;
    std::uint64_t n = count < left ? count : left;
    std::memcpy(buffer, source.data + source.position, std::size_t(n));
    source.position += n;
    return uLong(n);
}

uLong ZCALLBACK writeNothing(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK tellSource(voidpf opaque, voidpf)
{
    return sourceOf(opaque).position;
}

long ZCALLBACK seekSource(voidpf opaque, voidpf, ZPOS64_T offset, int origin)
{
    MemoryZipSource& source = sourceOf(opaque);
    std::uint64_t base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = source.position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = source.size; break;
    default: return -1;
    }
    // As fseeko takes it: minizip steps back from the current position with an offset
    // that has wrapped below zero.
    std::uint64_t target = base + offset;
    std::int64_t step = std::int64_t(offset);
    if ((step < 0 && target > base) || (step >= 0 && target < base) || target > source.size)
        return -1;
    source.position = target;
    return 0;
}

int ZCALLBACK closeSource(voidpf, voidpf)
{
    return 0;
}

int ZCALLBACK noError(voidpf, voidpf)
{
    return 0;
}

}

void fillMemoryZipIo(zlib_filefunc64_def_s& io, MemoryZipSource& source)
{
    io.zopen64_file = openSource;
    io.zread_file = readSource;
    io.zwrite_file = writeNothing;
    io.ztell64_file = tellSource;
    io.zseek64_file = seekSource;
    io.zclose_file = closeSource;
    io.zerror_file = noError;
    io.opaque = &source;
}
