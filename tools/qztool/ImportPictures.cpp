#include "tools/qztool/ImportPictures.h"

#include "tools/qztool/PictureConversion.h"
#include "tools/qztool/Session.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The engine picks its decoder by the name's last three letters.
bool engineReads(const std::string& extension)
{
    return extension == "jpg" || extension == "bmp" || extension == "tga";
}

// Raw texels (B, G, R, A) as the importer holds them for uncompressed embedded pictures.
RgbPicture fromTexels(const aiTexture& texture)
{
    RgbPicture picture;
    picture.width = texture.mWidth;
    picture.height = texture.mHeight;
    picture.rgb.reserve(std::size_t(texture.mWidth) * texture.mHeight * 3);
    for (std::size_t i = 0, n = std::size_t(texture.mWidth) * texture.mHeight; i < n; ++i) {
        const aiTexel& t = texture.pcData[i];
        picture.rgb.insert(picture.rgb.end(), { t.r, t.g, t.b });
        picture.hadAlpha = picture.hadAlpha || t.a != 255;
    }
    return picture;
}

}

ImportPictures::ImportPictures(const aiScene& scene, const std::string& modelPath, const std::string& stem,
    std::vector<std::string> taken)
    : scene_(scene), folder_(fs::path(modelPath).parent_path().string()), stem_(stem)
{
    for (const std::string& name : taken)
        taken_.push_back(lower(name));
}

std::string ImportPictures::nameFor(const std::string& reference, std::string& problem)
{
    if (reference.empty())
        return "";
    if (auto known = names_.find(reference); known != names_.end())
        return known->second;
    std::string bytes, extension;
    const bool inFile = reference[0] == '*' || scene_.GetEmbeddedTexture(reference.c_str());
    bool found = inFile ? embedded(reference, bytes, extension, problem) : onDisk(reference, bytes, extension, problem);
    if (found && !engineReads(extension)) {
        RgbPicture picture;
        if (extension != "raw" && !decodePng(bytes, picture, problem))
            found = false;
        else if (extension == "raw")
            picture = fromTexels(*scene_.GetEmbeddedTexture(reference.c_str()));
        if (found && !encodeJpeg(picture, bytes)) {
            problem = "cannot encode it as JPEG";
            found = false;
        }
        if (found && picture.hadAlpha)
            alphaDropped_.push_back(reference);
        extension = "jpg";
    }
    if (!found)
        return names_[reference] = "";
    std::string path = reference;
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string base = reference[0] == '*' ? stem_ + "_picture" + reference.substr(1) : fs::path(path).stem().string();
    std::string name = uniqueName(base, extension);
    files_.emplace_back(name, bytes);
    return names_[reference] = name;
}

bool ImportPictures::embedded(const std::string& reference, std::string& bytes, std::string& extension,
    std::string& problem)
{
    const aiTexture* texture = scene_.GetEmbeddedTexture(reference.c_str());
    if (!texture || !texture->pcData) {
        problem = "the file embeds no such picture";
        return false;
    }
    if (texture->mHeight > 0) {
        extension = "raw";
        return true;
    }
    extension = lower(texture->achFormatHint);
    if (extension == "jpeg")
        extension = "jpg";
    if (!engineReads(extension) && extension != "png") {
        problem = "an embedded " + extension + " picture, which cannot be converted";
        return false;
    }
    bytes.assign(reinterpret_cast<const char*>(texture->pcData), texture->mWidth);
    return true;
}

bool ImportPictures::onDisk(const std::string& reference, std::string& bytes, std::string& extension,
    std::string& problem)
{
    // Windows programs write backslashes; a path that does not resolve is tried as a
    // plain name beside the model.
    std::string path = reference;
    std::replace(path.begin(), path.end(), '\\', '/');
    fs::path relative = fs::path(path).is_absolute() ? fs::path(path) : fs::path(folder_) / path;
    fs::path beside = fs::path(folder_) / fs::path(path).filename();
    if (!readWholeFile(relative.string(), bytes)) {
        bytes.clear();
        if (!readWholeFile(beside.string(), bytes)) {
            problem = "not found";
            return false;
        }
    }
    extension = lower(fs::path(path).extension().string());
    if (!extension.empty())
        extension.erase(0, 1);
    if (extension == "jpeg")
        extension = "jpg";
    if (!engineReads(extension) && extension != "png") {
        problem = "a ." + extension + " picture, which cannot be converted (JPEG, BMP, TGA or PNG can)";
        return false;
    }
    return true;
}

std::string ImportPictures::uniqueName(const std::string& base, const std::string& extension)
{
    std::string clean;
    for (char c : base)
        clean += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
    if (clean.empty())
        clean = stem_ + "_picture";
    std::string name = clean + "." + extension;
    for (int n = 2; std::find(taken_.begin(), taken_.end(), lower(name)) != taken_.end(); ++n)
        name = clean + "_" + std::to_string(n) + "." + extension;
    taken_.push_back(lower(name));
    return name;
}
