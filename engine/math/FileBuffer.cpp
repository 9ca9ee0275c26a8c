#include "engine/math/FileBuffer.h"

#include "engine/core/FileSys.h"
#include "engine/core/FileSystems.h"

#include <cstdlib>
#include <cstring>

namespace {

// A block of n bytes; never null for n == 0 when memory is available, so an empty
// file still loads.
std::uint8_t* newBlock(std::uint32_t n)
{
    return static_cast<std::uint8_t*>(std::malloc(n == 0 ? 1 : n));
}

}

FileBuffer::~FileBuffer()
{
    std::free(data_);
}

void FileBuffer::adopt(std::uint8_t* block, std::uint32_t n)
{
    std::free(data_);
    data_ = block;
    size_ = n;
    capacity_ = block ? n : 0;
    position_ = 0;
    overrun_ = false;
}

bool FileBuffer::load(const char* name)
{
    std::int32_t handle = openFile(name, FS_READ | FS_BINARY);
    if (handle == -1)
        return false;
    std::uint32_t length = fileLength(handle);
    std::uint8_t* block = newBlock(length);
    std::uint32_t done = 0;
    while (block && done < length) {
        std::int32_t n = readFile(handle, block + done, length - done);
        if (n <= 0)
            break;
        done += static_cast<std::uint32_t>(n);
    }
    closeFile(handle);
    if (!block || done != length) {
        // A short read would leave bytes the loaders cannot tell from data.
        std::free(block);
        return false;
    }
    adopt(block, length);
    return true;
}

bool FileBuffer::loadFromMemory(const void* bytes, std::uint32_t n)
{
    if (!bytes && n > 0)
        return false;
    std::uint8_t* block = newBlock(n);
    if (!block)
        return false;
    if (n > 0)
        std::memcpy(block, bytes, n);
    adopt(block, n);
    return true;
}

std::uint8_t* FileBuffer::allocate(std::uint32_t n)
{
    std::uint8_t* block = newBlock(n);
    adopt(block, block ? n : 0);
    return block;
}

bool FileBuffer::reserve(std::uint64_t end)
{
    if (end > 0xffffffffu)
        return false;
    if (end > capacity_) {
        std::uint64_t grown = capacity_ < 64 ? 64 : std::uint64_t(capacity_) * 2;
        if (grown < end)
            grown = end;
        if (grown > 0xffffffffu)
            grown = 0xffffffffu;
        auto* block = static_cast<std::uint8_t*>(std::realloc(data_, grown));
        if (!block)
            return false;
        data_ = block;
        capacity_ = static_cast<std::uint32_t>(grown);
    }
    if (end > size_)
        size_ = static_cast<std::uint32_t>(end);
    return true;
}

bool FileBuffer::writeByte(std::uint8_t b)
{
    return writeBytes(&b, 1);
}

bool FileBuffer::writeBytes(const void* source, std::uint32_t n)
{
    if (n == 0)
        return true;
    if (!source || !reserve(std::uint64_t(position_) + n))
        return false;
    std::memcpy(data_ + position_, source, n);
    position_ += n;
    return true;
}

bool FileBuffer::take(std::uint32_t n)
{
    if (n <= size_ - position_)
        return true;
    position_ = size_;
    overrun_ = true;
    return false;
}

void FileBuffer::skip(std::int32_t n)
{
    std::int64_t target = std::int64_t(position_) + n;
    if (target < 0) {
        position_ = 0;
        overrun_ = true;
    } else if (target > size_) {
        position_ = size_;
        overrun_ = true;
    } else {
        position_ = static_cast<std::uint32_t>(target);
    }
}

bool FileBuffer::readBool()
{
    return readChar() != 0;
}

std::uint8_t FileBuffer::readChar()
{
    if (!take(1))
        return 0;
    return data_[position_++];
}

std::int32_t FileBuffer::readInt()
{
    std::int32_t value = 0;
    readBytes(&value, sizeof value);
    return value;
}

float FileBuffer::readFloat()
{
    float value = 0.0f;
    readBytes(&value, sizeof value);
    return value;
}

const char* FileBuffer::readString()
{
    const std::uint8_t* start = data_ + position_;
    std::uint32_t left = size_ - position_;
    const void* zero = left ? std::memchr(start, 0, left) : nullptr;
    if (!zero) {
        text_[0] = '\0';
        position_ = size_;
        overrun_ = true;
        return text_;
    }
    std::uint32_t length = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - start);
    std::uint32_t kept = length < TEXT_CAPACITY - 1 ? length : TEXT_CAPACITY - 1;
    std::memcpy(text_, start, kept);
    text_[kept] = '\0';
    position_ += length + 1;
    return text_;
}

void FileBuffer::readBytes(void* destination, std::uint32_t n)
{
    if (n == 0)
        return;
    if (!take(n)) {
        if (destination)
            std::memset(destination, 0, n);
        return;
    }
    if (destination)
        std::memcpy(destination, data_ + position_, n);
    position_ += n;
}

void FileBuffer::seek(std::uint32_t position)
{
    if (position > size_) {
        position_ = 0;
        overrun_ = true;
        return;
    }
    position_ = position;
}
