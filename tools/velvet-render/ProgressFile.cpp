#include "tools/velvet-render/ProgressFile.h"

#include <cstdio>

namespace {

constexpr auto REWRITE = std::chrono::milliseconds(200);

}

void ProgressFile::update(long done, bool final)
{
    const auto now = std::chrono::steady_clock::now();
    if (path_.empty() || (!final && now - lastWritten_ < REWRITE))
        return;
    lastWritten_ = now;
    const std::string fresh = path_ + ".new";
    std::FILE* file = std::fopen(fresh.c_str(), "w");
    if (!file)
        return;
    const bool written = std::fprintf(file, "%ld %ld\n", done, spanFrames_) > 0;
    if (std::fclose(file) == 0 && written)
        std::rename(fresh.c_str(), path_.c_str());
    else
        std::remove(fresh.c_str());
}
