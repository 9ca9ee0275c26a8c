// Little-endian field readers for the decoders of byte-packed file headers. They read
// exactly the bytes named; bounds are the caller's to check first.
#pragma once

#include <cstdint>

inline std::uint16_t readLe16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16)
        | (std::uint32_t(p[3]) << 24);
}

inline std::int32_t readLe32Signed(const std::uint8_t* p)
{
    return std::int32_t(readLe32(p));
}
