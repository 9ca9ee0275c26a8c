// GLVertexProgram: a vertex program compiled by GL_ARB_vertex_program. It owns its
// program name and deletes it; it does not own the entry points, which the device
// fetches once (GLVertexProgramApi). Without the extension every entry point is null
// and the program fails to compile instead of calling through a null pointer.
#pragma once

#include "engine/material/VertexProgram.h"

#include <GL/gl.h>
#include <GL/glext.h>

// The GL_ARB_vertex_program entry points a program uses.
struct GLVertexProgramApi {
    PFNGLGENPROGRAMSARBPROC genPrograms = nullptr;
    PFNGLDELETEPROGRAMSARBPROC deletePrograms = nullptr;
    PFNGLBINDPROGRAMARBPROC bindProgram = nullptr;
    PFNGLPROGRAMSTRINGARBPROC programString = nullptr;
    PFNGLPROGRAMLOCALPARAMETER4FVARBPROC programLocalParameter4fv = nullptr;

    // True when every entry point is present.
    bool complete() const;
};

// Fetches the entry points through the platform's GL lookup when extensions (the
// GL_EXTENSIONS string, may be null) names GL_ARB_vertex_program; otherwise all null.
GLVertexProgramApi loadGLVertexProgramApi(const char* extensions);

class GLVertexProgram : public VertexProgram {
public:
    // api is copied; an incomplete one makes compile fail.
    explicit GLVertexProgram(const GLVertexProgramApi& api);
    // Deletes the program name when there is one (the context must be current).
    ~GLVertexProgram() override;

    // Enables GL_VERTEX_PROGRAM_ARB, makes a program name, binds it and loads the text.
    // True exactly when OpenGL reports no error for the load. Errors left pending by
    // earlier calls are drained first so they cannot fail this compile.
    bool compile(int argument) override;
    int setMatrixParameter(int index, const Mat4& matrix) override;
    int setVectorParameter(int index, const Vec3& vector) override;
    bool bind() override;

    // The OpenGL program name, -1 when none.
    int programId() const { return programId_; }

private:
    void release();

    GLVertexProgramApi api_;
    int programId_ = -1;
};
