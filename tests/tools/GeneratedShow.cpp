#include "tests/tools/GeneratedShow.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <sstream>

namespace {

struct Generated {
    ScratchDir dir;
    ChildResult run = runBuilt("datagen", { "--no-soundtrack", dir.file("Data") });
};

const Generated& generated()
{
    static const Generated once;
    return once;
}

}

void GeneratedShow::SetUp()
{
    ASSERT_EQ(generated().run.exitStatus, 0) << generated().run.err;
}

const std::string& GeneratedShow::folder()
{
    return generated().dir.path();
}

std::vector<std::int32_t> GeneratedShow::syncTimes()
{
    std::vector<std::int32_t> times;
    std::istringstream text(readWholeFile(file("Syncro.txt")));
    for (std::int32_t t; text >> t;)
        times.push_back(t);
    return times;
}
