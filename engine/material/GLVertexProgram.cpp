#include "engine/material/GLVertexProgram.h"

#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"
#include "platform/GLWindow.h"

#include <cstring>

namespace {

template <typename Fn>
Fn lookup(const char* name)
{
    return reinterpret_cast<Fn>(platform::glProcAddress(name));
}

void drainErrors()
{
    // glGetError reports one flag per call; a bounded loop so a lost context cannot spin.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

}

bool GLVertexProgramApi::complete() const
{
    return genPrograms && deletePrograms && bindProgram && programString
        && programLocalParameter4fv;
}

GLVertexProgramApi loadGLVertexProgramApi(const char* extensions)
{
    GLVertexProgramApi api;
    if (extensions == nullptr || std::strstr(extensions, "GL_ARB_vertex_program") == nullptr)
        return api;
    api.genPrograms = lookup<PFNGLGENPROGRAMSARBPROC>("glGenProgramsARB");
    api.deletePrograms = lookup<PFNGLDELETEPROGRAMSARBPROC>("glDeleteProgramsARB");
    api.bindProgram = lookup<PFNGLBINDPROGRAMARBPROC>("glBindProgramARB");
    api.programString = lookup<PFNGLPROGRAMSTRINGARBPROC>("glProgramStringARB");
    api.programLocalParameter4fv =
        lookup<PFNGLPROGRAMLOCALPARAMETER4FVARBPROC>("glProgramLocalParameter4fvARB");
    return api;
}

GLVertexProgram::GLVertexProgram(const GLVertexProgramApi& api) : api_(api) {}

GLVertexProgram::~GLVertexProgram()
{
    release();
}

void GLVertexProgram::release()
{
    if (programId_ != -1 && api_.deletePrograms != nullptr) {
        GLuint id = static_cast<GLuint>(programId_);
        api_.deletePrograms(1, &id);
    }
    programId_ = -1;
}

bool GLVertexProgram::compile(int)
{
    if (!api_.complete())
        return false;
    release();
    drainErrors();
    // Loading a program must not change what the next draw runs: whatever goes to GL
    // directly (the particles) would otherwise go through this program until some
    // draw through the device happened to switch it off.
    const GLboolean wasEnabled = glIsEnabled(GL_VERTEX_PROGRAM_ARB);
    glEnable(GL_VERTEX_PROGRAM_ARB);
    GLuint id = 0;
    api_.genPrograms(1, &id);
    programId_ = static_cast<int>(id);
    api_.bindProgram(GL_VERTEX_PROGRAM_ARB, id);
    api_.programString(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB,
        static_cast<GLsizei>(programText_.size()), programText_.data());
    bool ok = glGetError() == GL_NO_ERROR;
    if (!wasEnabled)
        glDisable(GL_VERTEX_PROGRAM_ARB);
    drainErrors();
    return ok;
}

int GLVertexProgram::setMatrixParameter(int index, const Mat4& matrix)
{
    if (api_.programLocalParameter4fv == nullptr)
        return index + 4;
    Mat4 rows;
    rows.copy(matrix);
    rows.transpose();
    for (int r = 0; r < 4; ++r)
        api_.programLocalParameter4fv(GL_VERTEX_PROGRAM_ARB, static_cast<GLuint>(index + r),
            rows.m + 4 * r);
    return index + 4;
}

int GLVertexProgram::setVectorParameter(int index, const Vec3& vector)
{
    if (api_.programLocalParameter4fv != nullptr) {
        const GLfloat value[4] = { vector.x, vector.y, vector.z, 1.0f };
        api_.programLocalParameter4fv(GL_VERTEX_PROGRAM_ARB, static_cast<GLuint>(index),
            value);
    }
    return index + 1;
}

bool GLVertexProgram::bind()
{
    if (!api_.complete())
        return false;
    if (programId_ == -1) {
        glDisable(GL_VERTEX_PROGRAM_ARB);
        return false;
    }
    glEnable(GL_VERTEX_PROGRAM_ARB);
    api_.bindProgram(GL_VERTEX_PROGRAM_ARB, static_cast<GLuint>(programId_));
    return true;
}
