#include "engine/core/Log.h"

#include <cstdarg>

Log::Log(const char* path, bool truncate, bool flushEachMessage)
{
    open(path, truncate, flushEachMessage);
}

Log::~Log()
{
    close();
}

void Log::open(const char* path, bool truncate, bool flushEachMessage)
{
    close();
    if (path)
        file_ = std::fopen(path, truncate ? "w" : "a");
    isOpen_ = file_ != nullptr;
    flushEachMessage_ = flushEachMessage;
}

void Log::close()
{
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    isOpen_ = false;
}

void Log::print(const char* format, ...)
{
    va_list args;
    if (file_ && isOpen_) {
        va_start(args, format);
        std::vfprintf(file_, format, args);
        va_end(args);
        std::fputs("\n", file_);
    }
    if (echoStdout_) {
        va_start(args, format);
        std::vfprintf(stdout, format, args);
        va_end(args);
        std::fputs("\n", stdout);
    }
    if (echoStderr_) {
        va_start(args, format);
        std::vfprintf(stderr, format, args);
        va_end(args);
        std::fputs("\n", stderr);
    }
    if (flushEachMessage_ && file_)
        std::fflush(file_);
}
