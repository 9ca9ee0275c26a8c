#include "engine/core/Console.h"

#include <cstdarg>
#include <cstdio>

namespace {
bool consoleOpen = false;

int bannerLine(const char* text)
{
    return std::fprintf(stdout, "%s", text);
}
}

int openConsole()
{
    if (consoleOpen)
        return 0;
    // The terminal is the console: unbuffered, so lines appear as soon as they are printed.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    bannerLine("===                          ===\n");
    bannerLine("=== duZER - EXTERNAL CONSOLE ===\n");
    int result = bannerLine("===--------------------------===\n\n");
    consoleOpen = true;
    return result;
}

int consolePrintf(const char* format, ...)
{
    if (!consoleOpen)
        return 0;
    va_list args;
    va_start(args, format);
    int n = std::vfprintf(stdout, format, args);
    va_end(args);
    return n;
}

bool consoleIsOpen()
{
    return consoleOpen;
}
