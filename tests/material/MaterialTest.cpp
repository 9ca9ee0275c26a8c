// Material loading (from text and from files through the file-system registry), the
// stage-slot and code lists, and how apply walks the stages. No GL: a recording
// material stands in for the combiner back end.
#include "engine/material/GLMaterial.h"

#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records each stage handed to it; refuses the stage numbered refuseAt.
class RecordingMaterial : public GLMaterial {
public:
    struct Call {
        int stage;
        MaterialStage record;
        MaterialColour constant;
    };

    bool applyStage(int stage, const MaterialStage& record,
        const MaterialColour& constant) override
    {
        calls.push_back({ stage, record, constant });
        return stage != refuseAt;
    }

    std::vector<Call> calls;
    int refuseAt = -1;
};

TEST(Material, LoadFromStringStoresSlotsThenScriptOverrides)
{
    RecordingMaterial m;
    const int slots[] = { 4, 5, -1, 2 };
    ASSERT_TRUE(m.loadFromString("tex 1", slots, nullptr));
    EXPECT_EQ(m.stageSlot(0), 1); // the script's "tex" wins over the caller's list
    EXPECT_EQ(m.stageSlot(1), 5);
    EXPECT_EQ(m.stageSlot(2), Material::kDefaultSlot); // the list ended at -1
    EXPECT_EQ(m.stageSlot(3), Material::kDefaultSlot);
    EXPECT_EQ(m.stageSlot(8), -1);
    EXPECT_EQ(m.stageSlot(-1), -1);
    EXPECT_EQ(m.stageCount(), 1);
    EXPECT_STREQ(m.scriptText(), "tex 1");
    EXPECT_EQ(m.scriptLength(), 5);
    EXPECT_TRUE(m.name().empty());

    RecordingMaterial nullText;
    EXPECT_FALSE(nullText.loadFromString(nullptr, nullptr, nullptr));

    RecordingMaterial bad;
    EXPECT_FALSE(bad.loadFromString("tex 12", nullptr, nullptr));
}

TEST(Material, SlotAndCodeListsStopAtTheirLimits)
{
    // Nine slots and no terminator: only eight may be read.
    const int slots[] = { 0, 1, 2, 3, 4, 5, 6, 7, 9 };
    RecordingMaterial m;
    m.storeStageSlots(slots);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(m.stageSlot(i), i);

    int codes[20];
    for (int i = 0; i < 20; ++i)
        codes[i] = 100 + i;
    m.storeCodes(codes);
    EXPECT_EQ(m.codeCount(), Material::kMaxCodes);
    EXPECT_EQ(m.code(15), 115);
    EXPECT_EQ(m.code(16), 0);

    const int shortList[] = { 7, 3, 0, 9 };
    m.storeCodes(shortList);
    EXPECT_EQ(m.codeCount(), 2);
    EXPECT_EQ(m.code(1), 3);
    m.storeCodes(nullptr);
    EXPECT_EQ(m.codeCount(), 0);
}

TEST(Material, ApplyWalksDeclaredStagesAndStopsAtTheFirstRefusal)
{
    RecordingMaterial m;
    ASSERT_TRUE(m.loadFromString("const 10 20 30 40 tex 0 rgb add t0 d0 tex 1 rgb subtract "
                                 "r0 t0 tex 2 alpha dot3 t0 t0",
        nullptr, nullptr));
    ASSERT_EQ(m.stageCount(), 3);
    EXPECT_TRUE(m.apply());
    ASSERT_EQ(m.calls.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m.calls[i].stage, i);
    EXPECT_EQ(m.calls[1].record.rgbOperation, kOpSubtract);
    EXPECT_EQ(m.calls[2].record.alphaOperation, kOpDot3);
    EXPECT_EQ(m.calls[0].constant.red, 10);
    EXPECT_EQ(m.calls[2].constant.alpha, 40);

    m.calls.clear();
    m.refuseAt = 1;
    EXPECT_FALSE(m.apply());
    EXPECT_EQ(m.calls.size(), 2u);

    RecordingMaterial empty;
    ASSERT_TRUE(empty.loadFromString("", nullptr, nullptr));
    EXPECT_TRUE(empty.apply());
    EXPECT_TRUE(empty.calls.empty());
}

class MaterialFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(disk.ok()); }

    ScratchDir dir;
    MountedDisk disk;
};

TEST_F(MaterialFile, LoadsScriptAndNameFromTheCurrentFileSystem)
{
    const std::string script = "tex diffuse\nrgb leftarg t0 d0\ntex lightmap\n";
    std::string path = dir.write("lightmap.txt", script);
    const int codes[] = { 3, 0 };
    RecordingMaterial m;
    ASSERT_TRUE(m.loadFromFile(path.c_str(), nullptr, codes));
    EXPECT_EQ(m.name(), path);
    EXPECT_EQ(m.stageCount(), 2);
    EXPECT_EQ(m.stageSlot(1), 1);
    EXPECT_EQ(m.scriptLength(), static_cast<int>(script.size()));
    EXPECT_EQ(m.scriptText(), script);
    EXPECT_EQ(m.codeCount(), 1);

    // A missing or unnamed file and a failing script fail; an empty file is an empty
    // material.
    dir.write("bad.txt", "tex 0 const 1 2 3");
    dir.write("empty.txt", "");
    struct Case { const char* name; bool loads; };
    for (Case c : { Case { "none.txt", false }, Case { nullptr, false }, Case { "bad.txt", false }, Case { "empty.txt", true } }) {
        RecordingMaterial other;
        const std::string file = c.name ? dir.file(c.name) : "";
        EXPECT_EQ(other.loadFromFile(c.name ? file.c_str() : nullptr, nullptr, nullptr), c.loads) << (c.name ? c.name : "null");
        if (c.loads) {
            EXPECT_EQ(other.stageCount() + other.scriptLength(), 0);
        }
    }
}

}
