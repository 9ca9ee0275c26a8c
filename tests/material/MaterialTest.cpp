// Material loading (from text and from files through the file-system registry), the
// stage-slot and code lists, and how apply walks the stages. No GL: the recording
// device's material stands in for the combiner back end.
#include "engine/material/GLMaterial.h"

#include "tests/support/MountedDisk.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The recording device's fake material: it records each stage as
// "applyStage(stage, rgbOperation, alphaOperation)" and refuses a stage with both
// channels disabled.
std::unique_ptr<Material> recordingMaterial(RecordingDevice& device)
{
    std::unique_ptr<Material> material(device.newMaterial(0, 0, true));
    device.clearCalls();
    return material;
}

TEST(Material, LoadFromStringStoresSlotsThenScriptOverrides)
{
    RecordingDevice device;
    auto m = recordingMaterial(device);
    const int slots[] = { 4, 5, -1, 2 };
    ASSERT_TRUE(m->loadFromString("tex 1", slots, nullptr));
    EXPECT_EQ(m->stageSlot(0), 1); // the script's "tex" wins over the caller's list
    EXPECT_EQ(m->stageSlot(1), 5);
    EXPECT_EQ(m->stageSlot(2), Material::kDefaultSlot); // the list ended at -1
    EXPECT_EQ(m->stageSlot(3), Material::kDefaultSlot);
    EXPECT_EQ(m->stageSlot(8), -1);
    EXPECT_EQ(m->stageSlot(-1), -1);
    EXPECT_EQ(m->stageCount(), 1);
    EXPECT_STREQ(m->scriptText(), "tex 1");
    EXPECT_EQ(m->scriptLength(), 5);
    EXPECT_TRUE(m->name().empty());

    EXPECT_FALSE(recordingMaterial(device)->loadFromString(nullptr, nullptr, nullptr));
    EXPECT_FALSE(recordingMaterial(device)->loadFromString("tex 12", nullptr, nullptr));
}

TEST(Material, SlotAndCodeListsStopAtTheirLimits)
{
    // Nine slots and no terminator: only eight may be read.
    const int slots[] = { 0, 1, 2, 3, 4, 5, 6, 7, 9 };
    RecordingDevice device;
    auto m = recordingMaterial(device);
    m->storeStageSlots(slots);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(m->stageSlot(i), i);

    int codes[20];
    for (int i = 0; i < 20; ++i)
        codes[i] = 100 + i;
    m->storeCodes(codes);
    EXPECT_EQ(m->codeCount(), Material::kMaxCodes);
    EXPECT_EQ(m->code(15), 115);
    EXPECT_EQ(m->code(16), 0);

    const int shortList[] = { 7, 3, 0, 9 };
    m->storeCodes(shortList);
    EXPECT_EQ(m->codeCount(), 2);
    EXPECT_EQ(m->code(1), 3);
    m->storeCodes(nullptr);
    EXPECT_EQ(m->codeCount(), 0);
}

TEST(Material, ApplyWalksDeclaredStagesAndStopsAtTheFirstRefusal)
{
    RecordingDevice device;
    auto m = recordingMaterial(device);
    ASSERT_TRUE(m->loadFromString("tex 0 rgb add t0 d0 tex 1 rgb subtract r0 t0 tex 2 alpha dot3 t0 t0", nullptr, nullptr));
    EXPECT_TRUE(m->apply());
    EXPECT_EQ(device.calls, (std::vector<std::string> { "applyStage(0, 5, 0)", "applyStage(1, 7, 0)", "applyStage(2, 0, 11)" }));

    // Stage 1 sets neither channel, which the fake refuses: stage 2 is never applied.
    auto refused = recordingMaterial(device);
    ASSERT_TRUE(refused->loadFromString("tex 0 rgb add t0 d0 tex 1 tex 2 rgb add t0 d0", nullptr, nullptr));
    EXPECT_FALSE(refused->apply());
    EXPECT_EQ(device.calls, (std::vector<std::string> { "applyStage(0, 5, 0)", "applyStage(1, 0, 0)" }));

    auto empty = recordingMaterial(device);
    ASSERT_TRUE(empty->loadFromString("", nullptr, nullptr));
    EXPECT_TRUE(empty->apply());
    EXPECT_TRUE(device.calls.empty());
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
    RecordingDevice device;
    auto m = recordingMaterial(device);
    ASSERT_TRUE(m->loadFromFile(path.c_str(), nullptr, codes));
    EXPECT_EQ(m->name(), path);
    EXPECT_EQ(m->stageCount(), 2);
    EXPECT_EQ(m->stageSlot(1), 1);
    EXPECT_EQ(m->scriptLength(), static_cast<int>(script.size()));
    EXPECT_EQ(m->scriptText(), script);
    EXPECT_EQ(m->codeCount(), 1);

    // A missing or unnamed file and a failing script fail; an empty file is an empty
    // material.
    dir.write("bad.txt", "tex 0 const 1 2 3");
    dir.write("empty.txt", "");
    struct Case { const char* name; bool loads; };
    for (Case c : { Case { "none.txt", false }, Case { nullptr, false }, Case { "bad.txt", false }, Case { "empty.txt", true } }) {
        auto other = recordingMaterial(device);
        const std::string file = c.name ? dir.file(c.name) : "";
        EXPECT_EQ(other->loadFromFile(c.name ? file.c_str() : nullptr, nullptr, nullptr), c.loads) << (c.name ? c.name : "null");
        if (c.loads) {
            EXPECT_EQ(other->stageCount() + other->scriptLength(), 0);
        }
    }
}

}
