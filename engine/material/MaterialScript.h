// The texture-combiner script language: keywords, slot names and the compiler that turns
// a script into stage records. Pure code with no OpenGL, so tools and tests can check a
// script without a context. It does not own the script text, load files or touch GL
// state: Material loads the text, GLCombineMaterial turns the stages into combiner state.
#pragma once

#include <cstdint>
#include <string>

// Indices into the operation table (the script keyword is in the comment).
enum MaterialOperation : int {
    kOpDisable = 0,       // "disable"
    kOpLeftArg = 1,       // "leftarg"
    kOpModulate = 2,      // "modulate"
    kOpModulate2x = 3,    // "modulate2x"
    kOpModulate4x = 4,    // "modulate4x"
    kOpAdd = 5,           // "add"
    kOpAddSigned = 6,     // "addsigned"
    kOpSubtract = 7,      // "subtract"
    kOpDiffuseAlpha = 8,  // "diffusealpha"
    kOpTextureAlpha = 9,  // "texturealpha"
    kOpCurrentAlpha = 10, // "currentalpha"
    kOpDot3 = 11,         // "dot3"
    kOperationCount = 12
};

// Indices into the argument table.
enum MaterialArgument : int {
    kArgDiffuse = 0,  // "d0": the primary (diffuse) colour
    kArgTexture = 1,  // "t0": this unit's texture
    kArgPrevious = 2, // "r0": the previous stage's result
    kArgConstant = 3, // "c0": the texture-environment constant colour
    kArgumentCount = 4
};

inline constexpr int kMaterialMaxStages = 8;
// Named texture slots ("diffuse" .. "normcubemap" are 0 .. 8).
inline constexpr int kMaterialSlotNameCount = 9;
// The slot every stage reads until a script or caller says otherwise ("user0").
inline constexpr int kMaterialDefaultSlot = 6;

// One stage: operation and two arguments for colour, then the same for alpha.
struct MaterialStage {
    int rgbOperation = kOpDisable;
    int rgbArgument1 = kArgTexture;
    int rgbArgument2 = kArgDiffuse;
    int alphaOperation = kOpDisable;
    int alphaArgument1 = kArgDiffuse;
    int alphaArgument2 = kArgDiffuse;
};

// Constant colour as four bytes, 0..255 each.
struct MaterialColour {
    std::uint8_t red = 255;
    std::uint8_t green = 255;
    std::uint8_t blue = 255;
    std::uint8_t alpha = 255;
};

// Everything a script sets. A fresh record holds the starting values of a material;
// compiling writes over it, leaving what the script does not mention untouched.
struct MaterialScript {
    MaterialStage stages[kMaterialMaxStages];
    int stageSlot[kMaterialMaxStages] = { 6, 6, 6, 6, 6, 6, 6, 6 };
    int stageCount = 0;
    MaterialColour constant;
};

// Compiles text (read up to length bytes or the first NUL, whichever comes first) into
// script. Returns false on a script error and, when reason is given, stores a one-line
// explanation there. A "rgb"/"alpha" before any "tex", or a ninth "tex", ends the script
// early but successfully. stageCount is set in both cases.
bool compileMaterialScript(const char* text, std::size_t length, MaterialScript& script,
    std::string* reason = nullptr);

// Keyword of an operation, argument or slot name by index; null when out of range.
const char* materialOperationKeyword(int operation);
const char* materialArgumentKeyword(int argument);
const char* materialSlotName(int slot);
