// qztool material check: the printed stages and constant, failures with their reason
// (exit 1) and usage errors (exit 2). Runs the built program; needs no GL context.
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kTool = std::string(VELVET_BUILD_DIR) + "/qztool";

struct ToolRun {
    int status = -1;
    std::string output; // standard output and standard error together
};

ToolRun qztool(const std::string& arguments)
{
    ToolRun run;
    run.output = captureCommand(shellQuote(kTool) + " " + arguments + " 2>&1", &run.status);
    return run;
}

ToolRun check(const ScratchDir& dir, const std::string& script)
{
    return qztool("material check " + shellQuote(dir.write("script.txt", script)));
}

TEST(MaterialTool, PrintsStagesAndConstant)
{
    struct Case {
        const char* script;
        const char* expected;
    };
    const Case cases[] = {
        { "\ttex 0\trgb modulate t0 d0\talpha modulate t0 d0",
            "stages 1\n"
            "stage 0 slot 0 rgb modulate t0 d0 alpha modulate t0 d0\n"
            "const 255 255 255 255\n" },
        { "tex.diffuse.rgb.leftarg.t0.d0.alpha.leftarg.t0.d0\r\n"
          "tex lightmap rgb modulate r0 t0 alpha modulate r0 t0\r\n"
          "const 255 0 0 128\r\n",
            "stages 2\n"
            "stage 0 slot 0 rgb leftarg t0 d0 alpha leftarg t0 d0\n"
            "stage 1 slot 1 rgb modulate r0 t0 alpha modulate r0 t0\n"
            "const 255 0 0 128\n" },
        // Channels not given keep their starting records.
        { "tex detail alpha dot3 c0 r0",
            "stages 1\n"
            "stage 0 slot 3 rgb disable t0 d0 alpha dot3 c0 r0\n"
            "const 255 255 255 255\n" },
        // Ends early at a channel before any "tex": success with no stages.
        { "const 1 2 3 4 rgb add t0 d0 tex 99", "stages 0\nconst 1 2 3 4\n" },
        { "", "stages 0\nconst 255 255 255 255\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ScratchDir dir;
        ToolRun run = check(dir, c.script);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, c.expected);
    }
}

TEST(MaterialTool, ScriptErrorsExitOneWithTheReason)
{
    struct Case {
        const char* script;
        const char* reasonPart;
    };
    const Case cases[] = {
        { "tex 9", "tex" },
        { "tex 0 const 255 0 0", "const" },
        { "tex 0 rgb modulate t0", "rgb" },
        { "tex 0 alpha blend t0 d0", "blend" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ScratchDir dir;
        ToolRun run = check(dir, c.script);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find("script.txt"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(c.reasonPart), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("stages"), std::string::npos) << "printed a failed script";
    }

    ScratchDir dir;
    ToolRun missing = qztool("material check " + shellQuote(dir.file("absent.txt")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("absent.txt"), std::string::npos);
    ToolRun directory = qztool("material check " + shellQuote(dir.path()));
    EXPECT_EQ(directory.status, 1);
}

TEST(MaterialTool, UsageErrorsExitTwo)
{
    const char* usages[] = { "material", "material check", "material frobnicate x",
        "material check a b" };
    for (const char* arguments : usages) {
        SCOPED_TRACE(arguments);
        ToolRun run = qztool(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_FALSE(run.output.empty());
    }
    ToolRun help = qztool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("material check FILE"), std::string::npos);
}

}
