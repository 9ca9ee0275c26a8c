#include "engine/material/TextFile.h"

#include "engine/math/FileBuffer.h"

bool readTextFile(const char* fileName, std::string& text)
{
    if (fileName == nullptr)
        return false;
    FileBuffer file;
    if (!file.load(fileName))
        return false;
    const char* bytes = reinterpret_cast<const char*>(file.data());
    text.assign(bytes != nullptr ? bytes : "", bytes != nullptr ? file.size() : 0);
    return true;
}
