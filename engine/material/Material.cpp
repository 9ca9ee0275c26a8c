#include "engine/material/Material.h"

#include "engine/math/FileBuffer.h"

#include <cstring>

void Material::setScript(const char* text, std::size_t length)
{
    scriptText_.assign(text, length);
}

void Material::storeStageSlots(const int* stageSlots)
{
    if (stageSlots == nullptr)
        return;
    for (int i = 0; i < kMaxStages && stageSlots[i] != -1; ++i)
        stageSlot_[i] = stageSlots[i];
}

void Material::storeCodes(const int* codes)
{
    codeCount_ = 0;
    if (codes == nullptr)
        return;
    while (codeCount_ < kMaxCodes && codes[codeCount_] != 0) {
        codes_[codeCount_] = codes[codeCount_];
        ++codeCount_;
    }
}

int Material::stageSlot(int stage) const
{
    if (stage < 0 || stage >= kMaxStages)
        return -1;
    return stageSlot_[stage];
}

int Material::code(int index) const
{
    if (index < 0 || index >= codeCount_)
        return 0;
    return codes_[index];
}

bool Material::loadFromFile(const char* fileName, const int* stageSlots, const int* codes)
{
    if (fileName == nullptr)
        return false;
    FileBuffer file;
    if (!file.load(fileName))
        return false;
    const char* bytes = reinterpret_cast<const char*>(file.data());
    setScript(bytes != nullptr ? bytes : "", bytes != nullptr ? file.size() : 0);
    setName(fileName);
    storeCodes(codes);
    storeStageSlots(stageSlots);
    return compile(0);
}

bool Material::loadFromString(const char* scriptText, const int* stageSlots, const int* codes)
{
    if (scriptText == nullptr)
        return false;
    setScript(scriptText, std::strlen(scriptText));
    storeCodes(codes);
    storeStageSlots(stageSlots);
    return compile(0);
}
