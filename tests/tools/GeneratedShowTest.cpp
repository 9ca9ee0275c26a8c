// The show's data as datagen writes it, generated once for the program (the soundtrack,
// slower, has its own test), read as the show reads it and drawn by velvet-render.
#include "app/CameraPath.h"
#include "app/Director.h"
#include "demo/effects/BitmapFont.h"
#include "demo/effects/LyricsFile.h"
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/Camera.h"
#include "engine/geometry/ClosedSurface.h"
#include "engine/geometry/Geometry.h"
#include "engine/material/Image.h"
#include "engine/math/FileBuffer.h"
#include "platform/Audio.h"
#include "platform/TimeSource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace vertexformat;

namespace {

constexpr double BEAT_MS = 60000.0 / 90.0;
constexpr double BAR_MS = 4 * BEAT_MS;
constexpr std::int32_t TAIL_MS = 10000; // what the render shows after the last change
constexpr int RATE = 44100;
constexpr int CELL = 16;

class GeneratedShow : public ::testing::Test {
public:
    void SetUp() override
    {
        static const ChildResult run = runBuilt("datagen", { "--no-soundtrack", folder() + "/Data" });
        ASSERT_EQ(run.exitStatus, 0) << run.err;
    }
    // The folder holding "Data", removed at exit; the path of one of its files.
    static const std::string& folder()
    {
        static const ScratchDir dir;
        return dir.path();
    }
    static std::string file(const std::string& name) { return folder() + "/Data/" + name; }
    // The scene change times of "Syncro.txt", in milliseconds.
    static std::vector<std::int32_t> syncTimes()
    {
        std::vector<std::int32_t> times;
        std::istringstream text(readWholeFile(file("Syncro.txt")));
        for (std::int32_t t; text >> t;)
            times.push_back(t);
        return times;
    }
};

int brightness(const Image& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.pixelAt(x, y);
    return std::max({ p[0], p[1], p[2] });
}

// Columns of glyph code's cell holding any ink, as [first, last]; first > last for none.
void inkColumns(const BitmapFont& font, std::uint8_t code, int& first, int& last)
{
    const int cellX = CELL * (code % 16), cellY = CELL * (code / 16);
    first = cellX + CELL;
    last = cellX - 1;
    for (int x = cellX; x < cellX + CELL; ++x)
        for (int y = cellY; y < cellY + CELL; ++y)
            if (brightness(font.image(), std::uint32_t(x), std::uint32_t(y)) > 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
}

bool loadFile(const std::string& name, FileBuffer& file)
{
    const std::string bytes = readWholeFile(GeneratedShow::file(name));
    return file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size()));
}

bool loadModel(const std::string& name, Geometry& g)
{
    FileBuffer file;
    return loadFile(name, file) && g.load(file, name.c_str());
}

Vec3 position(const VertexArray& v, std::uint32_t i)
{
    const float* p = v.vertex(i);
    return Vec3(p[0], p[1], p[2]);
}

// On a virtual clock each scene's path must still be playing when the scene ends (else
// the free camera takes over), and glide: no jump or turn between two steps of 20 ms.
TEST_F(GeneratedShow, TimelineFallsOnBarsAndTheDirectorPlaysEveryPathPastItsSceneWithoutJumps)
{
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    for (std::size_t i = 0; i < sync.size(); ++i) {
        EXPECT_GT(sync[i], i > 0 ? sync[i - 1] : 0);
        EXPECT_NEAR(sync[i], std::round(sync[i] / BAR_MS) * BAR_MS, 1.0) << sync[i] << " ms is not on a bar";
    }
    MountedDisk disk(folder() + "/Data"); // the director reads relative names
    platform::useVirtualClock(0);
    Director director;
    ASSERT_TRUE(director.load("Syncro.txt", nullptr));
    ASSERT_EQ(director.pathCount(), 14u);
    director.start();
    std::uint32_t scene = 0;
    Vec3 translation, angles, lastTranslation, lastAngles;
    for (std::int32_t ms = 0; ms <= sync.back() + TAIL_MS; ms += 20) {
        CameraPath& path = director.currentPath();
        ASSERT_GE(path.keys().size(), 3u) << path.fileName(); // the stretch reads the third from the end
        path.play(translation, angles);
        ASSERT_EQ(path.mode, MODE_PLAYING) << "scene " << director.sceneIndex() << " path " << path.fileName()
                                           << " ended at " << ms << " ms";
        if (director.sceneIndex() == scene && ms > 0) {
            EXPECT_LT((translation - lastTranslation).length(), 2.0f) << "scene " << scene << " at " << ms;
            EXPECT_LT(std::max(std::fabs(angles.y - lastAngles.y), std::fabs(angles.x - lastAngles.x)), 10.0f)
                << "turns at " << ms << " ms";
        }
        EXPECT_LT(translation.length(), 500.0f) << "camera beyond the far plane";
        scene = director.sceneIndex();
        lastTranslation = translation;
        lastAngles = angles;
        platform::advanceVirtualClockBy(std::int64_t(20) * 1000000);
    }
    EXPECT_EQ(director.sceneIndex(), 13u);
    platform::useRealClock();
}

// Decoded by ffmpeg, the soundtrack covers the show and its tail and is heard in every
// scene; the show's own sound layer loads it. A missing or unwritable folder is refused.
TEST(Datagen, WritesTheSameFilesEveryRunWithASoundtrackHeardInEverySceneAndRefusesBadFolders)
{
    ScratchDir dir;
    for (const char* run : { "a", "b" })
        ASSERT_EQ(runBuilt("datagen", { dir.file(run) }).exitStatus, 0);
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("a"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(readWholeFile(entry.path().string()).empty()) << name;
        EXPECT_TRUE(readWholeFile(entry.path().string()) == readWholeFile(dir.file("b/" + name))) << name;
    }

    std::vector<std::int32_t> bounds = { 0 };
    std::istringstream sync(readWholeFile(dir.file("a/Syncro.txt")));
    for (std::int32_t t; sync >> t;)
        bounds.push_back(t);
    const std::string mp3 = dir.file("a/rap2.mp3");
    int status = -1;
    const std::string pcm = captureCommand("ffmpeg -v error -i " + shellQuote(mp3) + " -f s16le -ac 2 -ar 44100 -", &status);
    ASSERT_EQ(status, 0);
    std::vector<std::int16_t> samples(pcm.size() / 4 * 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    const double seconds = double(samples.size() / 2) / RATE;
    EXPECT_GE(seconds * 1000.0, bounds.back() + TAIL_MS);
    bounds.push_back(std::int32_t(seconds * 1000.0));
    for (std::size_t s = 0; s + 1 < bounds.size(); ++s) {
        const std::size_t from = std::size_t(bounds[s]) * RATE / 1000 * 2;
        const std::size_t to = std::min(samples.size(), std::size_t(bounds[s + 1]) * RATE / 1000 * 2);
        double sum = 0.0;
        for (std::size_t i = from; i < to; ++i)
            sum += double(samples[i]) * samples[i];
        EXPECT_GT(std::sqrt(sum / double(std::max<std::size_t>(1, to - from))), 500.0) << "scene " << s << " is nearly silent";
    }
    ASSERT_TRUE(platform::openAudio(RATE, 8)) << platform::lastAudioError();
    EXPECT_GE(platform::loadAudioSample(mp3.c_str(), false), 0) << platform::lastAudioError();
    platform::closeAudio();

    ChildResult none = runBuilt("datagen", {});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_NE(none.err.find("usage"), std::string::npos) << none.err;
    const std::string file = dir.write("plain", "not a folder");
    ChildResult blocked = runBuilt("datagen", { file + "/Data" });
    EXPECT_EQ(blocked.exitStatus, 1);
    EXPECT_NE(blocked.err.find(file), std::string::npos) << blocked.err;
}

// The pictures fill the 1024 x 768 frame, the band is black, and the sprite is bright in
// the middle and black all round its edge, so the particles' quads never show.
TEST_F(GeneratedShow, PicturesFillTheFrameTheBandIsBlackAndTheSpriteFadesBeforeItsEdge)
{
    MountedDisk disk(folder() + "/Data");
    for (const char* name : { "Scene0_Collectif.jpg", "Scene1_Mur.jpg", "Scene2_mare.jpg", "modeling.jpg", "code.jpg",
             "zik.jpg", "duzer.jpg" }) {
        Image image;
        ASSERT_TRUE(image.load(name)) << name;
        EXPECT_EQ(image.width() * 1000 + image.height(), 1024u * 1000 + 768) << name;
    }
    Image band;
    ASSERT_TRUE(band.load("noir.bmp") && band.byteSize() > 0);
    EXPECT_EQ(std::count(band.pixels(), band.pixels() + band.byteSize(), 0), std::ptrdiff_t(band.byteSize()));

    Image sprite;
    ASSERT_TRUE(sprite.load("Particle.bmp") && sprite.width() == sprite.height());
    const std::uint32_t size = sprite.width();
    EXPECT_GT(brightness(sprite, size / 2, size / 2), 200);
    for (std::uint32_t k = 0; k < size; ++k)
        for (const auto& [x, y] : { std::pair(k, 0u), std::pair(k, size - 1), std::pair(0u, k), std::pair(size - 1, k) })
            ASSERT_EQ(brightness(sprite, x, y), 0) << "edge pixel " << x << ", " << y;
}

// Every glyph's ink lies inside the rectangle the show cuts for it, so nothing is lost
// and nothing of a neighbour comes along.
// Lyric lines start on beats, the first within two seconds, change every one or two
// bars, end with an empty line before the credits, fit the canvas and cover what the
// line before left.
TEST_F(GeneratedShow, FontGlyphsFillTheirRectanglesAndLyricsFallOnBeatsAndFitTheCanvas)
{
    MountedDisk disk(folder() + "/Data");
    BitmapFont font;
    ASSERT_TRUE(font.load("Verdana256.bmp") && font.hasWidthTable());
    ASSERT_EQ(font.image().width() * font.image().height(), 256u * 256);
    for (int code = 0; code < 256; ++code) {
        const Glyph& glyph = font.glyph(std::uint8_t(code));
        int first, last;
        inkColumns(font, std::uint8_t(code), first, last);
        if (first <= last) {
            EXPECT_GE(first, glyph.srcX) << "glyph " << code << " is cut on the left";
            EXPECT_LT(last, glyph.srcX + glyph.width) << "glyph " << code << " is cut on the right";
        }
    }
    int first, last;
    inkColumns(font, ' ', first, last);
    EXPECT_TRUE(first > last && font.glyph(' ').width >= 3) << "a blank space, or words run together";
    const std::vector<std::int32_t> sceneStarts = syncTimes();
    ASSERT_EQ(sceneStarts.size(), 13u);
    std::vector<LyricEntry> read;
    ASSERT_TRUE(readLyricEntries(file("rap.txt").c_str(), read));
    // The reader adds an empty entry before the file's and repeats the last one.
    ASSERT_GE(read.size(), 12u);
    const std::vector<LyricEntry> lines(read.begin() + 1, read.end() - 1);
    const std::string spaces(LYRIC_TRAILING_SPACES, ' ');
    auto textWidth = [&](const std::string& text) {
        int sum = 0;
        for (unsigned char c : text)
            sum += font.glyph(c).width;
        return sum;
    };
    EXPECT_LE(lines.front().showTime, 2000) << "the intro stays an empty frame for long";
    EXPECT_LT(lines.back().showTime, sceneStarts[9]) << "words during the credits";
    EXPECT_EQ(lines.back().text, spaces) << "the last line stays on screen through the credits";
    int previousInk = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LyricEntry& e = lines[i];
        EXPECT_NEAR(e.showTime, std::round(e.showTime / BEAT_MS) * BEAT_MS, 1.0) << e.text;
        if (i > 0) {
            EXPECT_GE(e.showTime - lines[i - 1].showTime, 4 * BEAT_MS - 1) << e.text;
            EXPECT_LE(e.showTime - lines[i - 1].showTime, 8 * BEAT_MS + 1) << e.text;
        }
        ASSERT_GE(e.text.size(), spaces.size());
        const std::string words = e.text.substr(0, e.text.size() - spaces.size());
        EXPECT_LE(textWidth(words), 1024) << e.text;
        EXPECT_GE(textWidth(e.text), previousInk) << "letters of the line before stay beside: " << e.text;
        previousInk = textWidth(words);
    }
}


// Every model has normals and texture set 0, its picture decoded (1 and 3 free for the
// cel ramps; all three formats used); a skinned one has weights summing to one, an
// animation of its bones that loops on the beat and moves it, never below the floor.
TEST_F(GeneratedShow, EveryModelLoadsWithItsTexturesAndTheSkinnedOnesMoveOnTheBeat)
{
    // File, animation (null: static), bones at least, the travel its motion reaches, its
    // floor, and how many of its meshes are closed, so drawn without their back faces
    // (the cave's rock but not its crystals, each orbit ring, the figures).
    const std::tuple<const char*, const char*, std::uint32_t, float, float, int> MODELS[] = {
        { "cave_Scene_4.qzg", nullptr, 0, 0, 0, 1 }, { "FIXE.qzg", nullptr, 0, 0, 0, 1 },
        { "rien.qzg", nullptr, 0, 0, 0, 3 },
        { "police.qzg", "police.qza", 15, 4.0f, -0.3f, 1 }, // the dancer
        { "sol.qzg", "sol.qza", 2, 6.0f, 120.0f, 0 },       // the ground, drawn 160 down, swelling
    };
    std::set<std::string> endings;
    for (const auto& [name, animationName, minBones, minTravel, floorY, closed] : MODELS) {
        SCOPED_TRACE(name);
        Geometry g;
        ASSERT_TRUE(loadModel(name, g));
        EXPECT_EQ(std::count_if(g.items.begin(), g.items.end(), [](const GeometryItem& item) {
            return isClosedFacingItsNormals(item.mesh->vertices, item.mesh->triangles);
        }), closed);
        for (const GeometryItem& item : g.items) {
            EXPECT_EQ(item.mesh->vertices.format, Position | Normal | Tex0);
            const std::string& texture = item.material->textureNames[0];
            EXPECT_TRUE(item.material->textureNames[1].empty() && item.material->textureNames[3].empty());
            const std::string bytes = readWholeFile(file(texture));
            Image image;
            ASSERT_TRUE(image.decode(texture.c_str(), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
                << texture;
            endings.insert(texture.substr(texture.size() - 3));
        }
        ASSERT_EQ(bool(g.skin), animationName != nullptr);
        if (!animationName)
            continue;
        EXPECT_GE(g.skin->skeleton.boneCount(), minBones);
        for (const auto& skinMesh : g.skin->skinMeshes)
            for (const SkinWeight& w : skinMesh->weights)
                EXPECT_NEAR(w.weight0 + (w.bone1 < 0 ? 0.0f : w.weight1), 1.0f, 1e-5f);
        FileBuffer file;
        KeyframedAnimation animation;
        ASSERT_TRUE(loadFile(animationName, file) && animation.read(file));
        EXPECT_EQ(animation.boneCount, g.skin->skeleton.boneCount());
        const float beats = animation.duration / (60.0f / 90.0f);
        EXPECT_NEAR(beats, std::round(beats), 1e-3f) << "loops on the beat";
        AnimationTable::clear();
        g.skin->skeleton.assignAnimation(AnimationTable::add(&animation), 0, false, EndLoop);
        const VertexArray& bind = g.skin->skinMeshes[0]->bindPose;
        const VertexArray& pose = g.items[0].mesh->vertices;
        float travel = 0.0f, lowest = 1e30f;
        for (int s = 0; s < 48; ++s) {
            g.update(animation.duration / 48);
            for (std::uint32_t i = 0; i < bind.vertexCount; ++i) {
                travel = std::max(travel, (position(pose, i) - position(bind, i)).length());
                lowest = std::min(lowest, position(pose, i).y);
            }
        }
        EXPECT_GE(travel, minTravel);
        EXPECT_GE(lowest, floorY);
        AnimationTable::clear();
    }
    EXPECT_EQ(endings, (std::set<std::string> { "bmp", "jpg", "tga" }));
}

// Each model scene's camera keeps what it films in frame, between the lyrics' letterbox
// bands (the middle 72 % of the height at 1024 x 768, with a margin), and never flies
// into the rock or through the orbit rings, for the whole scene.
TEST_F(GeneratedShow, CameraPathsFrameTheirSubjectAndKeepClearOfTheModels)
{
    // Path, scene, subject, a model, the scene's translation of it, the camera's clearance.
    const std::tuple<const char*, int, Vec3, const char*, Vec3, float> SHOTS[] = {
        { "Scene4.txt", 5, Vec3(0, 10, 0), "cave_Scene_4.qzg", Vec3(), 3.0f },
        { "Scene4.txt", 5, Vec3(0, 10, 0), "rien.qzg", Vec3(0, 0, 10), 4.0f },
        { "Scene5.txt", 6, Vec3(0, 10, 0), "cave_Scene_4.qzg", Vec3(), 3.0f },
        { "Scene5.txt", 6, Vec3(0, 10, 0), "rien.qzg", Vec3(), 4.0f },
        { "Scene6.txt", 7, Vec3(0, 10, 0), "rien.qzg", Vec3(), 4.0f },
        { "Scene7.txt", 8, Vec3(0, 7, 0), "rien.qzg", Vec3(), 4.0f },
        { "Scene7.txt", 8, Vec3(0, 7, 0), "sol.qzg", Vec3(0, -160, 0), 3.0f },
        { "Scene8.txt", 9, Vec3(-1, 13, 0), "cave_Scene_4.qzg", Vec3(), 3.0f },
        { "Scene8.txt", 9, Vec3(-1, 13, 0), "rien.qzg", Vec3(0, 0, 10), 4.0f },
        { "Fixe2.txt", 3, Vec3(0, 9, 0), "rien.qzg", Vec3(), 4.0f },
    };
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, 1024.0f / 768.0f);
    for (const auto& [pathFile, scene, subject, model, modelAt, clearance] : SHOTS) {
        SCOPED_TRACE(std::string(pathFile) + " " + model);
        CameraPath camera;
        Geometry g;
        ASSERT_TRUE(camera.load(file(pathFile).c_str(), 0) && loadModel(model, g));
        const std::int32_t length = sync[std::size_t(scene)] - sync[std::size_t(scene) - 1];
        std::uint32_t keys = 0, framed = 0;
        for (const PathKey& key : camera.keys()) {
            if (key.time > length)
                break;
            ++keys;
            const Vec3 eye(-key.translation.x, -key.translation.y, -key.translation.z);
            float nearest = 1e30f;
            for (const GeometryItem& item : g.items)
                for (std::uint32_t i = 0; i < item.mesh->vertices.vertexCount; ++i)
                    nearest = std::min(nearest, (position(item.mesh->vertices, i) + modelAt - eye).length());
            ASSERT_GE(nearest, clearance) << "at " << key.time << " ms";
            Camera view;
            view.set(key.translation.x, key.translation.y, key.translation.z, key.angles.x, key.angles.y, key.angles.z);
            Mat4 clip = projection;
            clip.multiply(view.viewMatrix());
            Vec3 ndc;
            const float w = clip.transformPointW(subject, ndc);
            framed += w > 0.0f && std::fabs(ndc.x / w) < 0.8f && std::fabs(ndc.y / w) < 0.6f;
        }
        EXPECT_GT(keys, 100u);
        EXPECT_GE(framed, keys * 95 / 100) << "the subject leaves the frame";
    }
}

// Played one frame a second at a small size, a frame in the middle of each model scene
// shows more than its plain background and differs from the scene before's. Stills are
// the frames a played run draws at those times, although the frames before them are only
// simulated.
TEST_F(GeneratedShow, ModelScenesDrawTheirOwnPicturesAndStillsAreThePlayedFrames)
{
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    ScratchDir out;
    ChildOptions options;
    options.workingDirectory = folder();
    auto render = [&](std::vector<std::string> args, const char* fps, const char* size) {
        args.insert(args.end(), { "--fps", fps, "--size", size });
        ChildResult r = runBuilt("velvet-render", args, options);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
    };
    render({ "--frames", out.file("scenes"), "--seconds", std::to_string(sync[9] / 1000 + 1) }, "1", "512x384");
    // The first frame drawn after a simulated run must find GL as a played run leaves it
    // (a shape other than 4:3: the bars around the frame too).
    render({ "--frames", out.file("played"), "--to", "26100" }, "10", "256x240");
    render({ "--stills", "15000,26000", "--out", out.file("ppm"), "--format", "ppm" }, "10", "256x240");
    render({ "--stills", "15000", "--out", out.file("png") }, "10", "64x48");
    auto frame = [&](const char* folder, int index) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/frame_%05d.ppm", folder, index);
        return readWholeFile(out.file(name));
    };
    EXPECT_TRUE(readWholeFile(out.file("ppm/frame-15000.ppm")) == frame("played", 150));
    EXPECT_TRUE(readWholeFile(out.file("ppm/frame-26000.ppm")) == frame("played", 260));
    const std::string png = readWholeFile(out.file("png/frame-15000.png"));
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x30", 8)) << "64 x 48";

    // Share of pixels further than 24 (sum of channels) from the other picture.
    auto differing = [](const NetpbmPicture& a, const std::vector<std::uint8_t>& other) {
        std::size_t n = 0, pixels = a.samples.size() / 3;
        for (std::size_t i = 0; i < 3 * pixels; i += 3) {
            const std::uint8_t* q = &other[other.size() == 3 ? 0 : i];
            n += std::abs(a.samples[i] - q[0]) + std::abs(a.samples[i + 1] - q[1]) + std::abs(a.samples[i + 2] - q[2]) > 24;
        }
        return double(n) / double(pixels);
    };
    NetpbmPicture before;
    for (int scene : { 3, 5, 6, 7, 8, 9 }) {
        NetpbmPicture picture;
        ASSERT_TRUE(parseNetpbm(frame("scenes", (sync[std::size_t(scene) - 1] + sync[std::size_t(scene)]) / 2000), picture));
        for (const std::vector<std::uint8_t>& background : { std::vector<std::uint8_t> { 0, 0, 70 }, { 0, 0, 0 } })
            EXPECT_GT(differing(picture, background), 0.05) << "scene " << scene;
        EXPECT_TRUE(before.samples.empty() || differing(picture, before.samples) > 0.05) << "scene " << scene;
        before = picture;
    }
}


}
