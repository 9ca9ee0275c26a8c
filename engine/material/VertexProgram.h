// VertexProgram: the text of a vertex program and the list of parameter codes that tell
// the render device what to send to its local parameters before every draw. The abstract
// class owns the text and the codes; the API implementation owns the compiled program.
// It does not know the device: uploadProgramParameters takes the device's matrices,
// light positions and constants as plain inputs.
#pragma once

#include "engine/material/ParameterCodes.h"
#include "engine/material/Resource.h"

#include <cstddef>
#include <string>

struct Mat4;
struct Vec3;

// Parameter codes: what each entry of a program's code list sends.
enum ProgramParameter : int {
    kParamWorld = 1,               // world top matrix, 4 parameters
    kParamView = 2,                // view top matrix, 4 parameters
    kParamProjection = 3,          // projection top matrix, 4 parameters
    kParamWorldViewProjection = 4, // projection x view x world, 4 parameters
    kParamNothing = 5,             // sends nothing, uses no parameter
    kParamLight0 = 6,              // 6..13: position of light (code - 6), w = 1
    kParamLightLast = 13,
    kParamConstant0 = 14           // 14 and above: program constant (code - 14), w = 1
};

class VertexProgram : public Resource {
public:
    static constexpr int kMaxCodes = 128;

    VertexProgram() = default;
    ~VertexProgram() override = default;

    // Compiles programText; the argument is ignored by the OpenGL program. False when the
    // driver refuses the text or has no vertex programs.
    virtual bool compile(int argument) = 0;
    // Sends the transposed matrix to local parameters index .. index + 3 (parameter
    // index + r holds row r). Returns index + 4.
    virtual int setMatrixParameter(int index, const Mat4& matrix) = 0;
    // Sends (x, y, z, 1) to local parameter index. Returns index + 1.
    virtual int setVectorParameter(int index, const Vec3& vector) = 0;
    // Makes the program current. False (and programs switched off) when there is no
    // compiled program.
    virtual bool bind() = 0;

    // Reads fileName whole through the current file system, keeps text and name, stores
    // codes and compiles with compileArgument. False when the read or compile fails.
    bool loadFromFile(const char* fileName, int compileArgument, const int* codes);
    // The same from text in memory (length bytes, no NUL needed); the name stays empty.
    // False for null text.
    bool loadFromText(const char* text, std::size_t length, int compileArgument,
        const int* codes);
    // codes: copied until a 0 or until 128 are stored; null stores none.
    void storeCodes(const int* codes) { codes_.store(codes); }

    const char* programText() const { return programText_.c_str(); }
    int programLength() const { return static_cast<int>(programText_.size()); }
    int codeCount() const { return codes_.count(); }
    // Code by position; 0 outside 0..codeCount()-1.
    int code(int index) const { return codes_.at(index); }

protected:
    std::string programText_;
    ParameterCodes<kMaxCodes> codes_;
};

// What the device hands to a program before a draw. Pointers are borrowed for the call.
struct ProgramInputs {
    const Mat4* world = nullptr;
    const Mat4* view = nullptr;
    const Mat4* projection = nullptr;
    const Vec3* lightPositions = nullptr; // 8 entries
    const Vec3* constants = nullptr;      // constantCount entries
    int constantCount = 0;
};

// Walks program's codes in order, sending each value through setMatrixParameter or
// setVectorParameter with a running parameter index that starts at 0. A code naming a
// constant beyond constantCount sends (0, 0, 0, 1); codes below 1 send nothing (as 5).
// Null matrices or light positions send identity and origin. Returns the next free index.
int uploadProgramParameters(VertexProgram& program, const ProgramInputs& inputs);
