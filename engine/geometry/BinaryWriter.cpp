#include "engine/geometry/BinaryWriter.h"

#include <cstdio>
#include <cstring>

void BinaryWriter::putBytes(const void* bytes, std::size_t n)
{
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    bytes_.insert(bytes_.end(), p, p + n);
}

void BinaryWriter::putString(const std::string& text)
{
    putBytes(text.c_str(), text.size() + 1);
}

void BinaryWriter::putInt(std::int32_t value)
{
    std::uint32_t u = std::uint32_t(value);
    const std::uint8_t le[4] = { std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16), std::uint8_t(u >> 24) };
    putBytes(le, 4);
}

void BinaryWriter::putFloat(float value)
{
    std::uint32_t u;
    std::memcpy(&u, &value, 4);
    putInt(std::int32_t(u));
}

void BinaryWriter::putByte(std::uint8_t value)
{
    bytes_.push_back(value);
}

void BinaryWriter::putMatrix(const Mat4& m)
{
    for (float f : m.m)
        putFloat(f);
}

bool BinaryWriter::saveAs(const std::string& path) const
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes_.data(), 1, bytes_.size(), f) == bytes_.size();
    return std::fclose(f) == 0 && ok;
}
