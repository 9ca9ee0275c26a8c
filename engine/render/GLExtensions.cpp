#include "engine/render/GLExtensions.h"

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

template <typename Fn>
bool fetch(Fn& target, const char* name)
{
    target = reinterpret_cast<Fn>(platform::glProcAddress(name));
    return target != nullptr;
}

}

bool hasExtension(const char* extensions, const char* name)
{
    if (!extensions || !name || !*name)
        return false;
    return std::strstr(extensions, name) != nullptr;
}

void clearMultitexture()
{
    glActiveTextureARB = nullptr;
    glClientActiveTextureARB = nullptr;
    glMultiTexCoord1fARB = nullptr;
    glMultiTexCoord2fARB = nullptr;
    glMultiTexCoord3fARB = nullptr;
    glMultiTexCoord4fARB = nullptr;
}

bool loadMultitexture()
{
    bool ok = fetch(glActiveTextureARB, "glActiveTextureARB");
    ok = fetch(glClientActiveTextureARB, "glClientActiveTextureARB") && ok;
    ok = fetch(glMultiTexCoord1fARB, "glMultiTexCoord1fARB") && ok;
    ok = fetch(glMultiTexCoord2fARB, "glMultiTexCoord2fARB") && ok;
    ok = fetch(glMultiTexCoord3fARB, "glMultiTexCoord3fARB") && ok;
    ok = fetch(glMultiTexCoord4fARB, "glMultiTexCoord4fARB") && ok;
    if (!ok)
        clearMultitexture();
    return ok;
}

void clearVertexProgram()
{
    glGenProgramsARB = nullptr;
    glDeleteProgramsARB = nullptr;
    glBindProgramARB = nullptr;
    glProgramStringARB = nullptr;
    glProgramEnvParameter4fARB = nullptr;
    glProgramLocalParameter4fvARB = nullptr;
}

bool loadVertexProgram()
{
    bool ok = fetch(glGenProgramsARB, "glGenProgramsARB");
    ok = fetch(glDeleteProgramsARB, "glDeleteProgramsARB") && ok;
    ok = fetch(glBindProgramARB, "glBindProgramARB") && ok;
    ok = fetch(glProgramStringARB, "glProgramStringARB") && ok;
    ok = fetch(glProgramEnvParameter4fARB, "glProgramEnvParameter4fARB") && ok;
    ok = fetch(glProgramLocalParameter4fvARB, "glProgramLocalParameter4fvARB") && ok;
    if (!ok)
        clearVertexProgram();
    return ok;
}

void clearOcclusionQuery()
{
    glGenOcclusionQueriesNV = nullptr;
    glDeleteOcclusionQueriesNV = nullptr;
    glIsOcclusionQueryNV = nullptr;
    glBeginOcclusionQueryNV = nullptr;
    glEndOcclusionQueryNV = nullptr;
    glGetOcclusionQueryivNV = nullptr;
    glGetOcclusionQueryuivNV = nullptr;
}

bool loadOcclusionQuery()
{
    bool ok = fetch(glGenOcclusionQueriesNV, "glGenOcclusionQueriesNV");
    ok = fetch(glDeleteOcclusionQueriesNV, "glDeleteOcclusionQueriesNV") && ok;
    ok = fetch(glIsOcclusionQueryNV, "glIsOcclusionQueryNV") && ok;
    ok = fetch(glBeginOcclusionQueryNV, "glBeginOcclusionQueryNV") && ok;
    ok = fetch(glEndOcclusionQueryNV, "glEndOcclusionQueryNV") && ok;
    ok = fetch(glGetOcclusionQueryivNV, "glGetOcclusionQueryivNV") && ok;
    ok = fetch(glGetOcclusionQueryuivNV, "glGetOcclusionQueryuivNV") && ok;
    if (!ok)
        clearOcclusionQuery();
    return ok;
}

void activeTexture(int unit)
{
    if (glActiveTextureARB)
        glActiveTextureARB(GL_TEXTURE0_ARB + unit);
}

void clientActiveTexture(int unit)
{
    if (glClientActiveTextureARB)
        glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
}

}
