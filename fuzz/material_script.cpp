// Feeds arbitrary bytes to the combiner script compiler: it must never read outside the
// text, and whatever it accepts or half-parses must stay inside the tables the GL side
// indexes (stage count 0..8, slots 0..7 for declared stages, valid keywords).
#include "engine/material/MaterialScript.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool validStage(const MaterialStage& s)
{
    return materialOperationKeyword(s.rgbOperation) && materialOperationKeyword(s.alphaOperation)
        && materialArgumentKeyword(s.rgbArgument1) && materialArgumentKeyword(s.rgbArgument2)
        && materialArgumentKeyword(s.alphaArgument1) && materialArgumentKeyword(s.alphaArgument2);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact-size copy without a terminator, so a read past the length is caught.
    std::vector<char> text(data, data + size);
    MaterialScript script;
    std::string reason;
    bool ok = compileMaterialScript(text.data(), text.size(), script, &reason);
    if (script.stageCount < 0 || script.stageCount > kMaterialMaxStages)
        __builtin_trap();
    if (!ok && reason.empty())
        __builtin_trap();
    for (int i = 0; i < kMaterialMaxStages; ++i) {
        if (!validStage(script.stages[i]))
            __builtin_trap();
        bool declared = i < script.stageCount;
        if (declared && ok && (script.stageSlot[i] < 0 || script.stageSlot[i] > 7))
            __builtin_trap();
    }
    return 0;
}
