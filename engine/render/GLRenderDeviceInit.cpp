// The OpenGL device's initialise: extension detection, entry points, the capability
// record, the capability report (appended to capabilityLog at every start) and the base
// GL state.
#include "engine/render/GLRenderDevice.h"

#include "engine/core/Log.h"
#include "engine/render/GLExtensions.h"

#include <GL/glext.h>

namespace {

// A driver that names an extension but lacks an entry point counts as without it; an
// extension not named has its entry points cleared.
bool usable(bool named, bool (*load)(), void (*clear)())
{
    if (named)
        return load();
    clear();
    return false;
}

}

void GLRenderDevice::initialise(Caps& c)
{
    Log log(capabilityLog.c_str(), false, false);

    const char* extensions = extensionsOverride;
    if (!extensions)
        extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions)
        extensions = "";
    log.print("OpenGl Extensions :");
    log.print("%s", extensions);
    log.print(" ");

    hasEnvAdd = glext::hasExtension(extensions, "GL_ARB_texture_env_add");
    hasEnvCombine = glext::hasExtension(extensions, "GL_ARB_texture_env_combine");
    hasHPOcclusionTest = glext::hasExtension(extensions, "GL_HP_occlusion_test");

    hasMultitexture = usable(glext::hasExtension(extensions, "GL_ARB_multitexture"), glext::loadMultitexture,
        glext::clearMultitexture);
    log.print("%s", hasMultitexture ? "** Resquested Extension Ok - MultiTexturing "
                                    : "** WARNING ** - Can't Do MultiTexturing ");
    hasVertexProgram = usable(glext::hasExtension(extensions, "GL_ARB_vertex_program"), glext::loadVertexProgram,
        glext::clearVertexProgram);
    hasNVOcclusionQuery = usable(glext::hasExtension(extensions, "GL_NV_occlusion_query"), glext::loadOcclusionQuery,
        glext::clearOcclusionQuery);
    log.print("%s", hasNVOcclusionQuery ? "** Resquested Extension Ok - NV Occlusion Query "
                                        : "** WARNING ** - Can't use NV Occlusion Query ");
    log.print("%s", hasHPOcclusionTest ? "** Resquested Extension Ok - HP Occlusion Test "
                                       : "** WARNING ** - Can't use HP Occlusion Test ");
    c.OcclusionTest = hasHPOcclusionTest;

    GLint units = 1;
    if (hasMultitexture)
        glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const bool anisotropic = glext::hasExtension(extensions, "GL_EXT_texture_filter_anisotropic");
    GLfloat maxAnisotropy = 0.0f;
    if (anisotropic)
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maxAnisotropy);

    c.DeviceName = "DUZER - OPENGL";
    c.MaxTextureWidth = maxSize;
    c.MaxTextureHeight = maxSize;
    c.MaxSimultaneousTextures = units < 1 ? 1 : units;
    c.VertexShaderVersion = {static_cast<std::uint8_t>(hasVertexProgram ? 1 : 0), 0};
    c.PixelShaderVersion = {0, 0};
    c.NativeColorOrder = false;
    c.AnisotropicFiltering = anisotropic;
    c.MaxAnisotropy = static_cast<std::uint8_t>(maxAnisotropy > 255.0f ? 255.0f : maxAnisotropy);
    c.CubeMaps = glext::hasExtension(extensions, "GL_ARB_texture_cube_map");
    c.Dot3 = glext::hasExtension(extensions, "GL_ARB_texture_env_dot3");

    log.print("Caps.DeviceName              = %s", c.DeviceName.c_str());
    log.print("Caps.MaxSimultaneousTextures = %d", c.MaxSimultaneousTextures);
    log.print("Caps.MaxTextureWidth         = %d", c.MaxTextureWidth);
    log.print("Caps.MaxTextureHeight        = %d", c.MaxTextureHeight);
    log.print("Caps.PixelShaderVersion      = %d.%d", c.PixelShaderVersion.major, c.PixelShaderVersion.minor);
    log.print("Caps.VertexShaderVersion     = %d.%d", c.VertexShaderVersion.major, c.VertexShaderVersion.minor);
    log.print(" ");
    log.close();

    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    setFogColor(0.0f, 0.0f, 0.0f);
    setClearColor(1.0f, 1.0f, 1.0f);
    setFogMode(FogMode::Linear);
    disableFog();
    glEnable(GL_NORMALIZE);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 0.0f);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
    setLighting(false);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glDisable(GL_COLOR_MATERIAL);
    stencilClearValue = 0;
    clearAll();
}
