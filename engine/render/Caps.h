// The device's capability record: what the driver offers, filled once by the device's
// initialise when a window is attached. Textures, materials, vertex programs and the
// geometry loader read it; nothing here queries the driver itself.
#pragma once

#include <cstdint>
#include <string>

struct ShaderVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
};

struct Caps {
    std::string DeviceName;
    int MaxTextureWidth = 0;
    int MaxTextureHeight = 0;
    // Texture units the driver reports; the device drives at most eight of them.
    int MaxSimultaneousTextures = 1;
    ShaderVersion VertexShaderVersion;
    ShaderVersion PixelShaderVersion;
    // False: packed vertex colours are not taken in their stored byte order, so the
    // geometry loader exchanges their red and blue bytes.
    bool NativeColorOrder = false;
    bool AnisotropicFiltering = false;
    std::uint8_t MaxAnisotropy = 0;
    bool CubeMaps = false;
    bool Dot3 = false;
    bool OcclusionTest = false;

    // Texture stages every per-stage loop walks: MaxSimultaneousTextures, at most 8.
    int stageCount() const
    {
        if (MaxSimultaneousTextures > 8)
            return 8;
        return MaxSimultaneousTextures < 0 ? 0 : MaxSimultaneousTextures;
    }
};
