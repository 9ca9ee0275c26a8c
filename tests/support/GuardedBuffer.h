// Test bytes placed so that their last byte sits right before an inaccessible page: a
// decoder that reads even one byte past the end crashes the test instead of passing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class GuardedBuffer {
public:
    explicit GuardedBuffer(const std::string& bytes);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void* mapping_ = nullptr;
    std::size_t mappingSize_ = 0;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};
