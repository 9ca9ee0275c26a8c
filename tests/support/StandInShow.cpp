#include "tests/support/StandInShow.h"

#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationWriter.h"
#include "engine/geometry/BinaryWriter.h"
#include "engine/geometry/Geometry.h"
#include "engine/geometry/GeometryWriter.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

bool writeBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    return bool(out);
}

bool writeModel(const fs::path& file, int triangles)
{
    Geometry g;
    auto mesh = std::make_shared<Mesh>(false);
    mesh->vertices.allocate(3, 0x00B);
    mesh->triangles.indices.assign(std::size_t(3 * triangles), 0);
    mesh->triangles.count = std::uint32_t(triangles);
    g.addItem(std::make_unique<MeshMaterial>(), mesh);
    BinaryWriter out;
    GeometryWriter::writeGeneral(out, g);
    return out.saveAs(file.string());
}

bool writeAnimation(const fs::path& file)
{
    KeyframedAnimation still;
    still.boneCount = still.frameCount = 1;
    still.duration = 1.0f;
    still.keys.assign(1, AnimationKey());
    BinaryWriter out;
    AnimationWriter::write(out, still);
    return out.saveAs(file.string());
}

bool writePicture(const fs::path& file, const fs::path& grey)
{
    std::error_code ec;
    return fs::copy_file(grey, file, fs::copy_options::overwrite_existing, ec);
}

}

bool writeStandInShow(const std::string& folder, std::string& error)
{
    const fs::path dir = folder;
    const ChildResult text = runBuilt("datagen", {"--text", folder});
    if (text.exitStatus != 0) {
        error = "datagen --text: " + text.err;
        return false;
    }
    const fs::path grey = dir / "grey.jpg";
    if (runCommand("convert -size 4x4 xc:gray " + shellQuote(grey.string())) != 0) {
        error = "convert could not make a JPEG";
        return false;
    }
    for (const showfiles::Entry& entry : showfiles::ALL) {
        const fs::path file = dir / entry.name;
        if (fs::exists(file))
            continue;
        bool ok = true;
        switch (entry.kind) {
        case showfiles::Kind::Picture: ok = writePicture(file, grey); break;
        case showfiles::Kind::Sprite: ok = writeBytes(file, solidBmp(4, 4, 255, 255, 255)); break;
        case showfiles::Kind::Font:
            ok = entry.name == std::string(showfiles::FONT_WIDTHS) ? writeBytes(file, std::string(256, '\0'))
                                                                   : writeBytes(file, solidBmp(32, 32, 255, 255, 255));
            break;
        case showfiles::Kind::Band: ok = writeBytes(file, solidBmp(4, 4, 0, 0, 0)); break;
        case showfiles::Kind::Model: {
            const auto* named = std::find_if(std::begin(STAND_IN_MODELS), std::end(STAND_IN_MODELS),
                [&entry](const char* name) { return std::string(name) == entry.name; });
            ok = writeModel(file, int(named - std::begin(STAND_IN_MODELS)) + 1);
            break;
        }
        case showfiles::Kind::Animation: ok = writeAnimation(file); break;
        default: break; // text files are datagen's; the soundtrack stays out: pictures do without it
        }
        if (!ok) {
            error = "cannot write " + file.string();
            return false;
        }
    }
    fs::remove(grey);
    return true;
}
