// Zeroed byte buffers for decoded pictures. They come from calloc, so the pages of a
// large picture that a decoder never writes (run-length data that skips or ends early)
// cost nothing until they are read: the system hands out zero pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct FreeBytes {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};

using ZeroedBytes = std::unique_ptr<std::uint8_t[], FreeBytes>;

// size zeroed bytes, owned by the result; null when size is 0 or memory runs out.
inline ZeroedBytes allocateZeroed(std::size_t size)
{
    return ZeroedBytes(size > 0 ? static_cast<std::uint8_t*>(std::calloc(size, 1)) : nullptr);
}
