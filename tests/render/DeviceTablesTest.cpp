// The device's tables of textures, materials and vertex programs: insertion at the first
// free entry, name caches, use counts, release, full tables, failures that leave nothing
// behind; and the vertex-program parameter upload before a draw.
#include "tests/support/BmpWriter.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScratchDir.h"

#include "engine/core/FileSystems.h"
#include "engine/material/Image.h"
#include "engine/material/Material.h"
#include "engine/material/Texture.h"
#include "engine/material/VertexProgram.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class DeviceTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(disk.ok());
        dir.write("a.bmp", solidBmp(4, 4, 255, 0, 0));
        dir.write("program.vp", "!!ARBvp1.0\nEND\n");
        dir.write("bad.vp", "refuse me\n");
        dir.write("good.mat", "tex diffuse rgb modulate t0 d0 alpha modulate t0 d0");
        dir.write("broken.mat", "tex 9");
        setDirectory(dir.path().c_str());
        device.caps.MaxSimultaneousTextures = 2;
        device.caps.VertexShaderVersion = {1, 0};
    }
    int liveTextures() const { return device.textures.count(); }

    ScratchDir dir;
    RecordingDevice device;
    MountedDisk disk;
};

TEST_F(DeviceTables, CreatedTextureIsGreenUpdatableWithoutMipmaps)
{
    const int index = device.createTexture(8, 4, 32);
    ASSERT_EQ(index, 0);
    const Texture* t = device.getTexture(index);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->flags, Texture::Updatable | Texture::HasAlpha);
    EXPECT_EQ(t->width, 8);
    EXPECT_EQ(t->height, 4);
    EXPECT_EQ(device.textures.useCount(index), 1);
    EXPECT_EQ(device.callsStartingWith("create2D("), (std::vector<std::string>{"create2D(8, 4, 32, 0, 1)"}));

    Image same, other;
    same.allocate(8, 4, 32);
    other.allocate(4, 4, 32);
    EXPECT_TRUE(device.updateTexture(index, same));
    EXPECT_FALSE(device.updateTexture(index, other)) << "another size must not upload";
    EXPECT_FALSE(device.updateTexture(99, same));
    EXPECT_EQ(device.count("update2D("), 1);
}

TEST_F(DeviceTables, AddedTextureHasMipmapsAndCannotBeUpdated)
{
    Image image;
    image.allocate(4, 4, 24);
    const int index = device.addTexture(image, "BUMP");
    ASSERT_GE(index, 0);
    const Texture* t = device.getTexture(index);
    EXPECT_EQ(t->flags, Texture::HasMipmaps);
    EXPECT_TRUE(t->name().empty());
    EXPECT_FALSE(device.updateTexture(index, image));
    EXPECT_EQ(device.count("update2D("), 0);
}

TEST_F(DeviceTables, LoadTextureFindsTheSameNameAndCountsReferences)
{
    const int first = device.loadTexture("a.bmp");
    ASSERT_GE(first, 0);
    EXPECT_EQ(device.loadTexture("a.bmp"), first);
    EXPECT_EQ(device.textures.useCount(first), 2);
    EXPECT_EQ(device.count("newTexture("), 1) << "a hit makes no new object";

    // Another letter case is another name: loaded again (the disk finds the file).
    const int second = device.loadTexture("A.BMP");
    EXPECT_NE(second, first);

    // Missing files fail and leave nothing behind.
    const int before = liveTextures();
    device.clearCalls();
    EXPECT_EQ(device.loadTexture("missing.bmp"), -1);
    EXPECT_EQ(device.loadTexture(""), -1);
    EXPECT_EQ(device.loadTexture(nullptr), -1);
    EXPECT_EQ(liveTextures(), before);
    EXPECT_EQ(device.count("~Texture"), 3);

    // Two references: the first release keeps the texture, the second destroys it.
    EXPECT_FALSE(device.releaseTexture(first));
    EXPECT_NE(device.getTexture(first), nullptr);
    EXPECT_TRUE(device.releaseTexture(first));
    EXPECT_EQ(device.getTexture(first), nullptr);
    EXPECT_EQ(device.textures.firstFree(), first);
    EXPECT_FALSE(device.releaseTexture(first)) << "an empty entry has nothing to release";
}

TEST_F(DeviceTables, FreedEntryInTheMiddleIsFilledFirst)
{
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(device.createTexture(2, 2, 24), i);
    device.releaseTexture(2);
    EXPECT_EQ(device.createTexture(2, 2, 24), 2);
    EXPECT_EQ(device.createTexture(2, 2, 24), 5);
}

TEST_F(DeviceTables, FailedCreationDestroysTheObjectAndKeepsTheTable)
{
    device.failTextureCreation = true;
    EXPECT_EQ(device.createTexture(2, 2, 24), -1);
    EXPECT_EQ(device.count("~Texture"), 1);
    EXPECT_EQ(liveTextures(), 0);
    EXPECT_EQ(device.textures.firstFree(), 0);
}

TEST_F(DeviceTables, FullTextureTableGivesMinusOneAndLeavesNothingBehind)
{
    for (int i = 0; i < RenderDevice::TextureCount; ++i)
        ASSERT_EQ(device.createTexture(1, 1, 24), i);
    EXPECT_EQ(device.textures.firstFree(), -1);
    device.clearCalls();
    EXPECT_EQ(device.createTexture(1, 1, 24), -1);
    EXPECT_EQ(device.loadTexture("a.bmp"), -1);
    EXPECT_EQ(device.count("~Texture"), 2) << "every refused object is destroyed";
    EXPECT_EQ(liveTextures(), RenderDevice::TextureCount);
}

TEST_F(DeviceTables, MaterialsFromTextAndFiles)
{
    const int slots[] = {3, 4, -1};
    const int codes[] = {7, 8, 0};
    const int made = device.createMaterial("tex 0 rgb modulate t0 d0 alpha modulate t0 d0 tex 1 rgb add r0 t0 "
                                           "alpha add r0 t0 tex 2 rgb add r0 t0 alpha add r0 t0",
                                           slots, codes, true);
    ASSERT_GE(made, 0);
    const Material* m = device.getMaterial(made);
    // The script's "tex" slots come after the caller's list: the script wins.
    EXPECT_EQ(m->stageSlot(0), 0);
    EXPECT_EQ(m->codeCount(), 2);

    const int loaded = device.loadMaterial("good.mat", nullptr, nullptr, true);
    ASSERT_GE(loaded, 0);
    EXPECT_EQ(device.loadMaterial("good.mat", nullptr, nullptr, true), loaded);
    EXPECT_EQ(device.materials.useCount(loaded), 2);

    device.clearCalls();
    EXPECT_EQ(device.loadMaterial("broken.mat", nullptr, nullptr, true), -1);
    EXPECT_EQ(device.loadMaterial("missing.mat", nullptr, nullptr, true), -1);
    EXPECT_EQ(device.createMaterial(nullptr, nullptr, nullptr, true), -1);
    EXPECT_EQ(device.count("~Material"), 3);
    EXPECT_EQ(device.createMaterial("tex 0", nullptr, nullptr, false), -1) << "a disabled factory makes none";
    EXPECT_EQ(device.materials.count(), 2);

    // setMaterial applies at once; an index outside the table selects none.
    device.clearCalls();
    device.setMaterial(loaded);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"applyStage(0, 2, 2)"}));
    device.setMaterial(128);
    EXPECT_EQ(device.currentMaterial, nullptr);
}

TEST_F(DeviceTables, FullMaterialTableGivesMinusOne)
{
    for (int i = 0; i < RenderDevice::MaterialCount; ++i)
        ASSERT_EQ(device.createMaterial("tex 0", nullptr, nullptr, true), i);
    device.clearCalls();
    EXPECT_EQ(device.createMaterial("tex 0", nullptr, nullptr, true), -1);
    EXPECT_EQ(device.count("~Material"), 1);
    EXPECT_TRUE(device.releaseMaterial(5));
    EXPECT_EQ(device.createMaterial("tex 0", nullptr, nullptr, true), 5);
}

TEST_F(DeviceTables, VertexProgramsLoadOnceAndRefusedOnesVanish)
{
    const int codes[] = {4, 1, 0};
    const int p = device.loadVertexProgram("program.vp", 0, codes);
    ASSERT_EQ(p, 0);
    EXPECT_EQ(device.loadVertexProgram("program.vp", 0, codes), p);
    EXPECT_EQ(device.programs.useCount(p), 2);
    EXPECT_EQ(device.getVertexProgram(p)->codeCount(), 2);

    device.clearCalls();
    EXPECT_EQ(device.loadVertexProgram("bad.vp", 0, codes), -1);
    EXPECT_EQ(device.loadVertexProgram("missing.vp", 0, codes), -1);
    EXPECT_EQ(device.count("~VertexProgram"), 2);
    EXPECT_EQ(device.programs.count(), 1);

    device.setVertexProgram(p);
    EXPECT_EQ(device.currentProgram, device.getVertexProgram(p));
    device.setVertexProgram(-1);
    EXPECT_EQ(device.currentProgram, nullptr);
}

TEST_F(DeviceTables, ProgramParametersFollowTheirCodes)
{
    // Combined matrix, (nothing), world, light 0, constant 0 — the outline program's list
    // with a 5 in the middle that must not advance the parameter index.
    const int codes[] = {4, 5, 1, 6, 14, 0};
    const int p = device.loadVertexProgram("program.vp", 0, codes);
    ASSERT_GE(p, 0);
    Mat4 projection;
    projection.m[0] = 2.0f;
    Mat4 view;
    view.setTranslation(0, 0, -5);
    Mat4 world;
    world.setTranslation(1, 0, 0);
    device.setProjection(projection);
    device.setView(view);
    device.setWorld(world);
    Light light;
    light.position = Vec3(7, 8, 9);
    device.setLight(0, light);
    device.setProgramConstant(0, Vec3(0.5f, 0.25f, 0.125f));
    device.setProgramConstant(128, Vec3(1, 1, 1)); // outside the constants: ignored
    device.setVertexProgram(p);
    device.setMaterial(500);
    device.clearCalls();
    device.applyBindings();
    EXPECT_EQ(device.calls, (std::vector<std::string>{
                                "setMatrixParameter(0, 2, 1, 1, 2, 0, -5)",
                                "setMatrixParameter(4, 1, 1, 1, 1, 0, 0)",
                                "setVectorParameter(8, 7, 8, 9)",
                                "setVectorParameter(9, 0.5, 0.25, 0.125)",
                            }));
}

}
