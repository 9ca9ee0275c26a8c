// Process-wide OpenGL extension entry points and the extension-name test. The device's
// initialise fills them from the driver (null when the extension is missing); textures,
// materials and vertex programs call them and must check for null first. They live in
// namespace glext so they never collide with the driver library's own symbols.
// Nothing here decides what the engine does with an extension: see GLRenderDevice.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace glext {

// Multitexturing (GL_ARB_multitexture).
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;
extern PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB;
extern PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
extern PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB;
extern PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB;

// Vertex programs (GL_ARB_vertex_program).
extern PFNGLGENPROGRAMSARBPROC glGenProgramsARB;
extern PFNGLDELETEPROGRAMSARBPROC glDeleteProgramsARB;
extern PFNGLBINDPROGRAMARBPROC glBindProgramARB;
extern PFNGLPROGRAMSTRINGARBPROC glProgramStringARB;
extern PFNGLPROGRAMENVPARAMETER4FARBPROC glProgramEnvParameter4fARB;
extern PFNGLPROGRAMLOCALPARAMETER4FVARBPROC glProgramLocalParameter4fvARB;

// Occlusion queries (GL_NV_occlusion_query): fetched, not used by the engine.
extern PFNGLGENOCCLUSIONQUERIESNVPROC glGenOcclusionQueriesNV;
extern PFNGLDELETEOCCLUSIONQUERIESNVPROC glDeleteOcclusionQueriesNV;
extern PFNGLISOCCLUSIONQUERYNVPROC glIsOcclusionQueryNV;
extern PFNGLBEGINOCCLUSIONQUERYNVPROC glBeginOcclusionQueryNV;
extern PFNGLENDOCCLUSIONQUERYNVPROC glEndOcclusionQueryNV;
extern PFNGLGETOCCLUSIONQUERYIVNVPROC glGetOcclusionQueryivNV;
extern PFNGLGETOCCLUSIONQUERYUIVNVPROC glGetOcclusionQueryuivNV;

// True when name occurs anywhere in extensions (a plain substring test, as drivers of
// the time were queried: a longer name that begins with name counts). Null is false.
bool hasExtension(const char* extensions, const char* name);

// Fetch each group's entry points through the platform lookup, or set them to null.
// A fetch returns false when any entry point of the group is missing; the group is then
// left entirely null, so a caller never sees half an extension.
bool loadMultitexture();
void clearMultitexture();
bool loadVertexProgram();
void clearVertexProgram();
bool loadOcclusionQuery();
void clearOcclusionQuery();

// Selects texture unit GL_TEXTURE0_ARB + unit when multitexturing is loaded; otherwise
// nothing (unit 0 is the only one).
void activeTexture(int unit);
void clientActiveTexture(int unit);

}
