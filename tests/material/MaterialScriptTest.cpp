// The combiner script compiler: keywords, separators, slots, constant colour, errors and
// the two ways a script ends early without failing.
#include "engine/material/MaterialScript.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char* const kDefaultScript = "\ttex 0\trgb modulate t0 d0\talpha modulate t0 d0";

struct Compiled {
    bool ok = false;
    MaterialScript script;
    std::string reason;
};

Compiled compile(const std::string& text)
{
    Compiled c;
    c.ok = compileMaterialScript(text.data(), text.size(), c.script, &c.reason);
    return c;
}

void expectStage(const MaterialStage& s, int rgbOp, int rgb1, int rgb2, int alphaOp,
    int alpha1, int alpha2)
{
    EXPECT_EQ(s.rgbOperation, rgbOp);
    EXPECT_EQ(s.rgbArgument1, rgb1);
    EXPECT_EQ(s.rgbArgument2, rgb2);
    EXPECT_EQ(s.alphaOperation, alphaOp);
    EXPECT_EQ(s.alphaArgument1, alpha1);
    EXPECT_EQ(s.alphaArgument2, alpha2);
}

TEST(MaterialScript, EverySeparatorSplitsTokensTheSame)
{
    const char* variants[] = {
        "tex 0 rgb modulate t0 d0 alpha modulate t0 d0",
        "tex.0.rgb.modulate.t0.d0.alpha.modulate.t0.d0",
        "\r\ntex 0\r\nrgb modulate t0 d0\r\nalpha modulate t0 d0\r\n",
        "  ..tex\t\t0 .rgb\nmodulate\rt0 d0 alpha modulate t0 d0....",
    };
    Compiled reference = compile(kDefaultScript);
    for (const char* text : variants) {
        SCOPED_TRACE(text);
        Compiled c = compile(text);
        ASSERT_TRUE(c.ok) << c.reason;
        EXPECT_EQ(c.script.stageCount, 1);
        EXPECT_EQ(c.script.stageSlot[0], 0);
        EXPECT_EQ(0, std::memcmp(&c.script.stages[0], &reference.script.stages[0],
                         sizeof(MaterialStage)));
    }
}

TEST(MaterialScript, TextureSlotByNameOrNumber)
{
    struct Case { const char* text; int slot; };
    const Case cases[] = {
        { "tex 3", 3 }, { "tex detail", 3 }, { "tex diffuse", 0 }, { "tex lightmap", 1 }, { "tex specular", 2 },
        { "tex normalmap", 4 }, { "tex reflection", 5 }, { "tex user0", 6 }, { "tex user1", 7 },
        { "tex banana", 0 },  // no number reads as 0
        { "tex 5x", 5 },      // digits as far as they go
        { "tex Detail", 0 },  // names are case-sensitive
    };
    for (const Case& c : cases) {
        Compiled r = compile(c.text);
        EXPECT_TRUE(r.ok) << c.text << ": " << r.reason;
        EXPECT_EQ(r.script.stageCount, 1) << c.text;
        EXPECT_EQ(r.script.stageSlot[0], c.slot) << c.text;
    }
}

TEST(MaterialScript, RefusedScriptsSayWhy)
{
    const char* const refused[] = {
        "tex 8", "tex -1", "tex", "tex \t. ",
        "tex normcubemap",            // names slot 8, outside the stages' range
        "tex 4294967296",             // must not wrap into range
        "tex 0 const 255 0 0",        // three numbers at the end of the text
        "const 256 0 0 0", "const 0 0 0 -1", "const 0 0 99999999999 0", "const",
        "tex 0 rgb", "tex 0 alpha",   // no operation
        "tex 0 rgb modulate",         // no arguments
        "tex 0 rgb modulate t0",      // one argument: both are always required
        "tex 0 rgb leftarg t0",       // even for an operation that reads one
        "tex 0 rgb multiply t0 d0",   // unknown operation
        "tex 0 rgb Modulate t0 d0",   // keywords are case-sensitive
        "tex 0 rgb modulate t1 d0", "tex 0 alpha add t0 x0",  // unknown argument
    };
    for (const char* text : refused) {
        Compiled c = compile(text);
        EXPECT_FALSE(c.ok) << text;
        EXPECT_FALSE(c.reason.empty()) << text;
    }
}

TEST(MaterialScript, ConstantColour)
{
    Compiled none = compile("tex 0");
    EXPECT_EQ(none.script.constant.red, 255);
    EXPECT_EQ(none.script.constant.alpha, 255);

    Compiled set = compile("tex 0 const 255 0 0 128");
    ASSERT_TRUE(set.ok) << set.reason;
    EXPECT_EQ(set.script.constant.red, 255);
    EXPECT_EQ(set.script.constant.green, 0);
    EXPECT_EQ(set.script.constant.blue, 0);
    EXPECT_EQ(set.script.constant.alpha, 128);

    Compiled beforeTex = compile("const 1 2 3 4");
    ASSERT_TRUE(beforeTex.ok);
    EXPECT_EQ(beforeTex.script.stageCount, 0);
    EXPECT_EQ(beforeTex.script.constant.blue, 3);
}

TEST(MaterialScript, OperationAndArgumentKeywords)
{
    // The combiner translation indexes its tables by these numbers.
    const char* operations[] = { "disable", "leftarg", "modulate", "modulate2x",
        "modulate4x", "add", "addsigned", "subtract", "diffusealpha", "texturealpha",
        "currentalpha", "dot3" };
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(operations[i]);
        Compiled c = compile(std::string("tex 0 rgb ") + operations[i] + " c0 r0 alpha "
            + operations[i] + " t0 d0");
        ASSERT_TRUE(c.ok) << c.reason;
        expectStage(c.script.stages[0], i, 3, 2, i, 1, 0);
        EXPECT_STREQ(materialOperationKeyword(i), operations[i]);
    }
    EXPECT_EQ(materialOperationKeyword(12), nullptr);
    EXPECT_EQ(materialOperationKeyword(-1), nullptr);
    EXPECT_STREQ(materialArgumentKeyword(3), "c0");
    EXPECT_EQ(materialArgumentKeyword(4), nullptr);
    EXPECT_STREQ(materialSlotName(8), "normcubemap");
    EXPECT_EQ(materialSlotName(9), nullptr);
}

TEST(MaterialScript, EarlyEndsSucceedAndKeepWhatWasParsed)
{
    // A channel before any "tex" stops the script; what follows is never read.
    Compiled noTex = compile("const 1 2 3 4 rgb modulate t0 d0 tex 9 const 999");
    EXPECT_TRUE(noTex.ok);
    EXPECT_EQ(noTex.script.stageCount, 0);
    EXPECT_EQ(noTex.script.constant.red, 1);

    // A ninth "tex" stops before reading its slot, so even a bad slot passes.
    std::string nine;
    for (int i = 0; i < 8; ++i)
        nine += "tex " + std::to_string(7 - i) + " rgb add t0 r0 ";
    nine += "tex 99 rgb bogus";
    Compiled ninth = compile(nine);
    EXPECT_TRUE(ninth.ok) << ninth.reason;
    EXPECT_EQ(ninth.script.stageCount, 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ninth.script.stageSlot[i], 7 - i);
        EXPECT_EQ(ninth.script.stages[i].rgbOperation, kOpAdd);
    }
}

TEST(MaterialScript, ErrorStopsWithEarlierStagesInPlace)
{
    Compiled c = compile("tex 2 rgb add t0 r0 tex user1 rgb add t0 oops alpha add t0 d0");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.script.stageCount, 2);
    EXPECT_EQ(c.script.stageSlot[0], 2);
    EXPECT_EQ(c.script.stageSlot[1], 7);
    EXPECT_EQ(c.script.stages[0].rgbOperation, kOpAdd);
    // The failing channel stored nothing; the later one was never read.
    expectStage(c.script.stages[1], kOpDisable, kArgTexture, kArgDiffuse, kOpDisable,
        kArgDiffuse, kArgDiffuse);
}

TEST(MaterialScript, UnknownWordsAreSkippedAndChannelsAreIndependent)
{
    Compiled c = compile("# comment words tex 1 whatever alpha subtract r0 c0 TEX 4");
    ASSERT_TRUE(c.ok) << c.reason;
    EXPECT_EQ(c.script.stageCount, 1);
    EXPECT_EQ(c.script.stageSlot[0], 1);
    // Only alpha was given: colour keeps its starting values.
    expectStage(c.script.stages[0], kOpDisable, kArgTexture, kArgDiffuse, kOpSubtract,
        kArgPrevious, kArgConstant);

    Compiled empty = compile("");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.script.stageCount, 0);
}

TEST(MaterialScript, TextEndsAtLengthOrFirstNul)
{
    const char text[] = "tex 1\0tex 2";
    Compiled c;
    c.ok = compileMaterialScript(text, sizeof text - 1, c.script, &c.reason);
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.script.stageCount, 1);

    // A length that cuts a keyword short leaves an unknown word.
    MaterialScript cut;
    EXPECT_TRUE(compileMaterialScript("tex 3 rgb", 8, cut));
    EXPECT_EQ(cut.stageCount, 1);
    EXPECT_EQ(cut.stageSlot[0], 3);

    MaterialScript untouched;
    std::string reason;
    EXPECT_FALSE(compileMaterialScript(nullptr, 10, untouched, &reason));
    EXPECT_FALSE(reason.empty());
}

}
