#include "engine/render/GLExtensions.h"

#include "engine/render/GLTranslate.h"

#include "platform/GLWindow.h"

#include <cstring>

namespace glext {

PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB = nullptr;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB = nullptr;

PFNGLGENPROGRAMSARBPROC glGenProgramsARB = nullptr;
PFNGLDELETEPROGRAMSARBPROC glDeleteProgramsARB = nullptr;
PFNGLBINDPROGRAMARBPROC glBindProgramARB = nullptr;
PFNGLPROGRAMSTRINGARBPROC glProgramStringARB = nullptr;
PFNGLPROGRAMENVPARAMETER4FARBPROC glProgramEnvParameter4fARB = nullptr;
PFNGLPROGRAMLOCALPARAMETER4FVARBPROC glProgramLocalParameter4fvARB = nullptr;

PFNGLGENOCCLUSIONQUERIESNVPROC glGenOcclusionQueriesNV = nullptr;
PFNGLDELETEOCCLUSIONQUERIESNVPROC glDeleteOcclusionQueriesNV = nullptr;
PFNGLISOCCLUSIONQUERYNVPROC glIsOcclusionQueryNV = nullptr;
PFNGLBEGINOCCLUSIONQUERYNVPROC glBeginOcclusionQueryNV = nullptr;
PFNGLENDOCCLUSIONQUERYNVPROC glEndOcclusionQueryNV = nullptr;
PFNGLGETOCCLUSIONQUERYIVNVPROC glGetOcclusionQueryivNV = nullptr;
PFNGLGETOCCLUSIONQUERYUIVNVPROC glGetOcclusionQueryuivNV = nullptr;

namespace {

// One entry point of an extension: where it is kept and the name the driver knows it by.
template <typename Fn>
struct EntryPoint {
    Fn* target;
    const char* name;
};

#define ENTRY_POINT(fn) EntryPoint<decltype(fn)>{&fn, #fn}

template <typename... Fn>
void clearAll(EntryPoint<Fn>... entries)
{
    ((*entries.target = nullptr), ...);
}

// Fetches every entry point of one extension; when one is missing, all are left null so
// callers never see half an extension.
template <typename... Fn>
bool loadAll(EntryPoint<Fn>... entries)
{
    bool ok = true;
    ((*entries.target = reinterpret_cast<Fn>(platform::glProcAddress(entries.name)), ok = *entries.target && ok),
     ...);
    if (!ok)
        clearAll(entries...);
    return ok;
}

#define MULTITEXTURE                                                                                             \
    ENTRY_POINT(glActiveTextureARB), ENTRY_POINT(glClientActiveTextureARB), ENTRY_POINT(glMultiTexCoord1fARB),   \
        ENTRY_POINT(glMultiTexCoord2fARB), ENTRY_POINT(glMultiTexCoord3fARB), ENTRY_POINT(glMultiTexCoord4fARB)

#define VERTEX_PROGRAM                                                                                           \
    ENTRY_POINT(glGenProgramsARB), ENTRY_POINT(glDeleteProgramsARB), ENTRY_POINT(glBindProgramARB),              \
        ENTRY_POINT(glProgramStringARB), ENTRY_POINT(glProgramEnvParameter4fARB),                                \
        ENTRY_POINT(glProgramLocalParameter4fvARB)

#define OCCLUSION_QUERY                                                                                          \
    ENTRY_POINT(glGenOcclusionQueriesNV), ENTRY_POINT(glDeleteOcclusionQueriesNV),                               \
        ENTRY_POINT(glIsOcclusionQueryNV), ENTRY_POINT(glBeginOcclusionQueryNV),                                 \
        ENTRY_POINT(glEndOcclusionQueryNV), ENTRY_POINT(glGetOcclusionQueryivNV),                                \
        ENTRY_POINT(glGetOcclusionQueryuivNV)

}

bool hasExtension(const char* extensions, const char* name)
{
    if (!extensions || !name || !*name)
        return false;
    return std::strstr(extensions, name) != nullptr;
}

void clearMultitexture() { clearAll(MULTITEXTURE); }
bool loadMultitexture() { return loadAll(MULTITEXTURE); }

void clearVertexProgram() { clearAll(VERTEX_PROGRAM); }
bool loadVertexProgram() { return loadAll(VERTEX_PROGRAM); }

void clearOcclusionQuery() { clearAll(OCCLUSION_QUERY); }
bool loadOcclusionQuery() { return loadAll(OCCLUSION_QUERY); }

void activeTexture(int unit)
{
    if (glActiveTextureARB)
        glActiveTextureARB(gltr::textureUnit(unit));
}

void clientActiveTexture(int unit)
{
    if (glClientActiveTextureARB)
        glClientActiveTextureARB(gltr::textureUnit(unit));
}

}
