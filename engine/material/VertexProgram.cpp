#include "engine/material/VertexProgram.h"

#include "engine/material/TextFile.h"
#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"

namespace {

constexpr int kLightCount = kParamLightLast - kParamLight0 + 1;

const Mat4& orIdentity(const Mat4* matrix)
{
    static const Mat4 identity;
    return matrix != nullptr ? *matrix : identity;
}

Vec3 lightPosition(const ProgramInputs& inputs, int light)
{
    if (inputs.lightPositions == nullptr || light < 0 || light >= kLightCount)
        return Vec3();
    return inputs.lightPositions[light];
}

Vec3 programConstant(const ProgramInputs& inputs, int index)
{
    if (inputs.constants == nullptr || index < 0 || index >= inputs.constantCount)
        return Vec3();
    return inputs.constants[index];
}

}

bool VertexProgram::loadFromText(const char* text, std::size_t length, int compileArgument,
    const int* codes)
{
    if (text == nullptr)
        return false;
    programText_.assign(text, length);
    storeCodes(codes);
    return compile(compileArgument);
}

bool VertexProgram::loadFromFile(const char* fileName, int compileArgument, const int* codes)
{
    if (!readTextFile(fileName, programText_))
        return false;
    setName(fileName);
    storeCodes(codes);
    return compile(compileArgument);
}

int uploadProgramParameters(VertexProgram& program, const ProgramInputs& inputs)
{
    int parameter = 0;
    for (int i = 0; i < program.codeCount(); ++i) {
        int code = program.code(i);
        if (code == kParamWorld) {
            parameter = program.setMatrixParameter(parameter, orIdentity(inputs.world));
        } else if (code == kParamView) {
            parameter = program.setMatrixParameter(parameter, orIdentity(inputs.view));
        } else if (code == kParamProjection) {
            parameter = program.setMatrixParameter(parameter, orIdentity(inputs.projection));
        } else if (code == kParamWorldViewProjection) {
            Mat4 combined;
            combined.copy(orIdentity(inputs.projection));
            combined.multiply(orIdentity(inputs.view));
            combined.multiply(orIdentity(inputs.world));
            parameter = program.setMatrixParameter(parameter, combined);
        } else if (code >= kParamLight0 && code <= kParamLightLast) {
            parameter = program.setVectorParameter(parameter,
                lightPosition(inputs, code - kParamLight0));
        } else if (code >= kParamConstant0) {
            parameter = program.setVectorParameter(parameter,
                programConstant(inputs, code - kParamConstant0));
        }
    }
    return parameter;
}
