#include "engine/material/Texture.h"

#include "engine/material/Image.h"

bool Texture::createFromImage(Image& image, bool mipmaps, bool updatable)
{
    if (mipmaps && wantsSoftwareMips())
        image.buildMipChain();
    if (!create2D(image, mipmaps, updatable))
        return false;
    setName("");
    width = static_cast<std::int32_t>(image.width());
    height = static_cast<std::int32_t>(image.height());
    flags = (image.bitsPerPixel() == 32 ? HasAlpha : 0u) | (mipmaps ? HasMipmaps : 0u) | (updatable ? Updatable : 0u);
    return true;
}

bool Texture::loadFromFile(const char* fileName, bool mipmaps)
{
    if (!fileName)
        return false;
    Image image;
    const bool loaded = image.load(fileName);
    bool ok = loaded && image.bitsPerPixel() != 0 && createFromImage(image, mipmaps, false);
    image.release();
    if (ok)
        setName(fileName);
    return ok;
}

bool Texture::update(const Image& image)
{
    if (!(flags & Updatable) || (flags & CubeMap))
        return false;
    if (static_cast<std::int32_t>(image.width()) != width || static_cast<std::int32_t>(image.height()) != height)
        return false;
    return update2D(image);
}
