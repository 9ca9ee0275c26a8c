// FileBuffer: a whole file held in one heap block and walked with a cursor; every
// engine loader reads its format through it (little-endian, packed, unaligned). The
// same object serves as an output block that a writer fills byte by byte; writes past
// the end grow the block. It owns its block; it does not open or keep files open (load
// reads the whole file through the current file system and closes it at once).
//
// Reads never go past the data. A read that does not fit returns zero (an empty string
// for readString), leaves the cursor at the end and sets the sticky overrun flag, which
// loaders test after reading a structure; only load, loadFromMemory and allocate clear
// it. Offsets and sizes are in bytes.
#pragma once

#include <cstdint>

class FileBuffer {
public:
    static constexpr std::uint32_t TEXT_CAPACITY = 1024; // readString keeps up to 1023 characters

    FileBuffer() = default;
    virtual ~FileBuffer();
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    // Reads the whole file through the current file system (open mode read | binary).
    // False when it cannot be opened or read whole; the object is then left as it was.
    bool load(const char* name);
    // Copies n bytes from bytes into a new block with the cursor at the start. False,
    // object unchanged, when the block cannot be allocated or bytes is null with n > 0.
    bool loadFromMemory(const void* bytes, std::uint32_t n);
    // Replaces the block with n uninitialised bytes, cursor at the start. The block, or
    // null when it cannot be allocated (the object is then empty).
    std::uint8_t* allocate(std::uint32_t n);

    // Stores at the cursor and advances; the block grows when the cursor is at its end.
    // False only when growing fails (nothing is written then).
    bool writeByte(std::uint8_t b);
    bool writeBytes(const void* source, std::uint32_t n);

    // Moves the cursor by n bytes (negative steps back). Leaving the data stops the
    // cursor at the nearer end and sets overrun.
    void skip(std::int32_t n);
    bool readBool();
    std::uint8_t readChar();
    std::int32_t readInt();
    float readFloat();
    // Bytes up to and including the next zero byte, in the object's own text buffer,
    // valid until the next readString. Characters beyond 1023 are dropped (the cursor
    // still moves past the zero). Data that ends before a zero byte: empty string,
    // overrun set, cursor at the end.
    const char* readString();
    // Copies n bytes to destination. When fewer than n remain, destination is zeroed,
    // the cursor goes to the end and overrun is set.
    void readBytes(void* destination, std::uint32_t n);
    // position > size: back to the start (and overrun set); otherwise the cursor goes
    // to position (size itself is the end).
    void seek(std::uint32_t position);
    std::uint32_t tell() const { return position_; }

    const std::uint8_t* data() const { return data_; }
    std::uint8_t* data() { return data_; }
    std::uint32_t size() const { return size_; }
    std::uint32_t remaining() const { return size_ - position_; }
    bool overrun() const { return overrun_; }
    void clearOverrun() { overrun_ = false; }

private:
    // Whether n more bytes can be read; sets overrun and moves to the end when not.
    bool take(std::uint32_t n);
    bool reserve(std::uint64_t end);
    void adopt(std::uint8_t* block, std::uint32_t n);

    std::uint8_t* data_ = nullptr;
    std::uint32_t position_ = 0;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
    bool overrun_ = false;
    char text_[TEXT_CAPACITY] = {};
};
