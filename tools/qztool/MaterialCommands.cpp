// qztool material: checks combiner scripts through the engine's script compiler, with
// no GL context.
#include "tools/qztool/Command.h"
#include "tools/qztool/Session.h"

#include "engine/material/MaterialScript.h"

#include <cstdio>
#include <string>

namespace {

void printStage(int index, int slot, const MaterialStage& s)
{
    std::printf("stage %d slot %d rgb %s %s %s alpha %s %s %s\n", index, slot,
        materialOperationKeyword(s.rgbOperation), materialArgumentKeyword(s.rgbArgument1),
        materialArgumentKeyword(s.rgbArgument2), materialOperationKeyword(s.alphaOperation),
        materialArgumentKeyword(s.alphaArgument1), materialArgumentKeyword(s.alphaArgument2));
}

int check(const std::string& path)
{
    std::string text;
    if (!readWholeFile(path, text))
        return qzFailure(path, "can't read file");
    MaterialScript script;
    std::string reason;
    if (!compileMaterialScript(text.data(), text.size(), script, &reason))
        return qzFailure(path, reason);
    std::printf("stages %d\n", script.stageCount);
    for (int i = 0; i < script.stageCount; ++i)
        printStage(i, script.stageSlot[i], script.stages[i]);
    const MaterialColour& k = script.constant;
    std::printf("const %d %d %d %d\n", k.red, k.green, k.blue, k.alpha);
    return 0;
}

int run(const std::vector<std::string>& args)
{
    if (args.empty())
        return qzUsageError("material: missing subcommand (check)");
    if (args[0] != "check")
        return qzUsageError("material: unknown subcommand '" + args[0] + "'");
    if (args.size() != 2)
        return qzUsageError("material check: expects exactly one FILE");
    return check(args[1]);
}

const QzCommand command("material",
    "  qztool material check FILE            compile a combiner script; print its stages and constant\n",
    run);

}
