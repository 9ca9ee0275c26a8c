// The device's tables of textures, materials and vertex programs: insertion at the first
// free entry, name caches, use counts, release, full tables, failures that leave nothing
// behind; and the vertex-program parameter upload before a draw.
#include "tests/support/ImageFiles.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScratchDir.h"

#include "engine/core/FileSystems.h"
#include "engine/material/Image.h"
#include "engine/material/Material.h"
#include "engine/material/Texture.h"
#include "engine/material/VertexProgram.h"

#include <gtest/gtest.h>

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
        device.caps.VertexShaderVersion = { 1, 0 };
    }

    ScratchDir dir;
    RecordingDevice device;
    MountedDisk disk;
};

TEST_F(DeviceTables, CreatedTexturesAreGreenAndUpdatableAddedOnesHaveMipmaps)
{
    EXPECT_EQ(device.createTexture(0, 4, 32), -1);
    EXPECT_EQ(device.createTexture(4, -1, 32), -1);
    const int index = device.createTexture(8, 4, 32);
    ASSERT_EQ(index, 0);
    const Texture* t = device.getTexture(index);
    EXPECT_EQ(std::make_tuple(t->flags, t->width, t->height), std::make_tuple(Texture::Updatable | Texture::HasAlpha, 8, 4));
    EXPECT_EQ(device.callsStartingWith("create2D("), std::vector<std::string> { "create2D(8, 4, 32, 0, 1)" });
    Image same, other;
    same.allocate(8, 4, 32);
    other.allocate(4, 4, 32);
    EXPECT_TRUE(device.updateTexture(index, same));
    EXPECT_FALSE(device.updateTexture(index, other)) << "another size must not upload";
    EXPECT_FALSE(device.updateTexture(99, same));

    const int added = device.addTexture(same, "BUMP");
    ASSERT_GE(added, 0);
    EXPECT_EQ(device.getTexture(added)->flags, Texture::HasMipmaps | Texture::HasAlpha);
    EXPECT_TRUE(device.getTexture(added)->name().empty());
    EXPECT_FALSE(device.updateTexture(added, same));
    EXPECT_EQ(device.count("update2D("), 1);
}

TEST_F(DeviceTables, LoadTextureFindsTheSameNameAndCountsReferences)
{
    const int first = device.loadTexture("a.bmp");
    ASSERT_GE(first, 0);
    EXPECT_EQ(device.loadTexture("a.bmp"), first);
    EXPECT_EQ(device.textures.useCount(first), 2);
    EXPECT_EQ(device.count("newTexture("), 1) << "a hit makes no new object";
    EXPECT_NE(device.loadTexture("A.BMP"), first) << "another letter case is another name";
    // Missing files fail and leave nothing behind.
    device.clearCalls();
    for (const char* name : { "missing.bmp", "", static_cast<const char*>(nullptr) })
        EXPECT_EQ(device.loadTexture(name), -1);
    EXPECT_EQ(device.textures.count(), 2);
    EXPECT_EQ(device.count("~Texture"), 3);
    // Two references: the first release keeps the texture, the second destroys it.
    EXPECT_FALSE(device.releaseTexture(first));
    EXPECT_NE(device.getTexture(first), nullptr);
    EXPECT_TRUE(device.releaseTexture(first));
    EXPECT_EQ(device.getTexture(first), nullptr);
    EXPECT_FALSE(device.releaseTexture(first)) << "an empty entry has nothing to release";
    EXPECT_EQ(device.createTexture(2, 2, 24), first) << "the freed entry is filled first";
    EXPECT_EQ(device.createTexture(2, 2, 24), 2);
}

TEST_F(DeviceTables, FailedOrRefusedTexturesAreDestroyedAndLeaveTheTable)
{
    device.failTextureCreation = true;
    EXPECT_EQ(device.createTexture(2, 2, 24), -1);
    EXPECT_EQ(device.count("~Texture"), 1);
    EXPECT_EQ(device.textures.count(), 0);
    device.failTextureCreation = false;
    for (int i = 0; i < RenderDevice::TextureCount; ++i)
        ASSERT_EQ(device.createTexture(1, 1, 24), i);
    device.clearCalls();
    EXPECT_EQ(device.createTexture(1, 1, 24), -1);
    EXPECT_EQ(device.loadTexture("a.bmp"), -1);
    EXPECT_EQ(device.count("~Texture"), 2) << "every refused object is destroyed";
    EXPECT_EQ(device.textures.count(), RenderDevice::TextureCount);
}

TEST_F(DeviceTables, MaterialsFromTextAndFiles)
{
    const int codes[] = { 7, 8, 0 };
    const int made = device.createMaterial("tex 0 rgb modulate t0 d0 alpha modulate t0 d0", nullptr, codes, true);
    ASSERT_GE(made, 0);
    EXPECT_EQ(device.getMaterial(made)->codeCount(), 2) << "the caller's codes reach the material";

    EXPECT_EQ(device.loadMaterial("good.mat", nullptr, nullptr, false), -1) << "a disabled factory makes none";
    const int loaded = device.loadMaterial("good.mat", nullptr, nullptr, true);
    ASSERT_GE(loaded, 0);
    EXPECT_EQ(device.loadMaterial("good.mat", nullptr, nullptr, true), loaded);
    EXPECT_EQ(device.materials.useCount(loaded), 2);
    device.clearCalls();
    EXPECT_EQ(device.loadMaterial("broken.mat", nullptr, nullptr, true), -1);
    EXPECT_EQ(device.loadMaterial("missing.mat", nullptr, nullptr, true), -1);
    EXPECT_EQ(device.loadMaterial(nullptr, nullptr, nullptr, true), -1);
    EXPECT_EQ(device.createMaterial(nullptr, nullptr, nullptr, true), -1);
    EXPECT_EQ(device.count("~Material"), 4);
    EXPECT_EQ(device.createMaterial("tex 0", nullptr, nullptr, false), -1);
    EXPECT_EQ(device.materials.count(), 2);
    // setMaterial applies at once; an index outside the table selects none.
    device.clearCalls();
    device.setMaterial(loaded);
    EXPECT_EQ(device.calls, std::vector<std::string> { "applyStage(0, 2, 2)" });
    device.setMaterial(128);
    EXPECT_EQ(device.currentMaterial, nullptr);
    // A full table gives -1; a released entry is filled again.
    for (int i = 2; i < RenderDevice::MaterialCount; ++i)
        ASSERT_EQ(device.createMaterial("tex 0", nullptr, nullptr, true), i);
    EXPECT_EQ(device.createMaterial("tex 0", nullptr, nullptr, true), -1);
    EXPECT_TRUE(device.releaseMaterial(5));
    EXPECT_EQ(device.createMaterial("tex 0", nullptr, nullptr, true), 5);
}

TEST_F(DeviceTables, VertexProgramsLoadOnceAndRefusedOnesVanish)
{
    const int codes[] = { 4, 1, 0 };
    const int p = device.loadVertexProgram("program.vp", 0, codes);
    ASSERT_EQ(p, 0);
    EXPECT_EQ(device.loadVertexProgram("program.vp", 0, codes), p);
    EXPECT_EQ(device.programs.useCount(p), 2);
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
    // Combined matrix, (nothing), world, light 0, constant 0: the outline program's list
    // with a 5 in the middle that must not advance the parameter index.
    const int codes[] = { 4, 5, 1, 6, 14, 0 };
    const int p = device.loadVertexProgram("program.vp", 0, codes);
    ASSERT_GE(p, 0);
    Mat4 projection, view, world;
    projection.m[0] = 2.0f;
    view.setTranslation(0, 0, -5);
    world.setTranslation(1, 0, 0);
    device.setProjection(projection);
    device.setView(view);
    device.setWorld(world);
    Light light;
    light.position = Vec3(7, 8, 9);
    device.setLight(0, light);
    device.setProgramConstant(0, Vec3(0.5f, 0.25f, 0.125f));
    device.setProgramConstant(128, Vec3(1, 1, 1));  // outside the constants: ignored
    device.setVertexProgram(p);
    device.setMaterial(500);
    device.clearCalls();
    device.applyBindings();
    EXPECT_EQ(device.calls, (std::vector<std::string> { "setMatrixParameter(0, 2, 1, 1, 2, 0, -5)",
                                                        "setMatrixParameter(4, 1, 1, 1, 1, 0, 0)",
                                                        "setVectorParameter(8, 7, 8, 9)",
                                                        "setVectorParameter(9, 0.5, 0.25, 0.125)" }));
}

}
