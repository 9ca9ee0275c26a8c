#include "tests/support/GuardedBuffer.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

GuardedBuffer::GuardedBuffer(const std::string& bytes) : size_(bytes.size())
{
    std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    std::size_t dataPages = (bytes.size() + page - 1) / page;
    mappingSize_ = (dataPages + 1) * page;
    void* mapping = ::mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return;
    mapping_ = mapping;
    auto* base = static_cast<std::uint8_t*>(mapping);
    ::mprotect(base + dataPages * page, page, PROT_NONE);
    std::uint8_t* start = base + dataPages * page - bytes.size();
    std::memcpy(start, bytes.data(), bytes.size());
    data_ = start;
}

GuardedBuffer::~GuardedBuffer()
{
    if (mapping_)
        ::munmap(mapping_, mappingSize_);
}
