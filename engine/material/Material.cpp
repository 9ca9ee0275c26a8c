#include "engine/material/Material.h"

#include "engine/material/TextFile.h"

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

int Material::stageSlot(int stage) const
{
    if (stage < 0 || stage >= kMaxStages)
        return -1;
    return stageSlot_[stage];
}

bool Material::loadFromFile(const char* fileName, const int* stageSlots, const int* codes)
{
    if (!readTextFile(fileName, scriptText_))
        return false;
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
