// Material: how up to eight texture stages combine, described by a combiner script (see
// engine/material/MaterialScript.h for the language). The abstract class owns the script
// text, the caller's codes and the stage-to-slot map; the API implementation owns the
// compiled stages and installs them. It does not own or bind textures: the render device
// binds textureSlots[stageSlot(i)] on unit i before every draw.
#pragma once

#include "engine/material/ParameterCodes.h"
#include "engine/material/Resource.h"

#include <cstddef>
#include <string>

struct Mat4;
struct Vec3;

class Material : public Resource {
public:
    static constexpr int kMaxCodes = 16;
    static constexpr int kMaxStages = 8;
    static constexpr int kDefaultSlot = 6; // "user0", the slot of every stage at first

    Material() = default;
    ~Material() override = default;

    // Parses scriptText into stages; the argument is ignored. False on a script error.
    virtual bool compile(int argument) = 0;
    // Materials take no parameters: both return index unchanged.
    virtual int setMatrixParameter(int index, const Mat4& matrix) = 0;
    virtual int setVectorParameter(int index, const Vec3& vector) = 0;
    // Installs the material on the API state. False when a stage could not be installed
    // (a "disable" stage ends it: later stages are left as they were).
    virtual bool apply() = 0;
    // Number of stages the last compile declared, 0..8.
    virtual int stageCount() const = 0;

    // Reads fileName whole through the current file system, keeps the text and the name,
    // stores codes and stage slots (see below) and compiles. False when the file cannot
    // be read or the script does not compile.
    bool loadFromFile(const char* fileName, const int* stageSlots, const int* codes);
    // Copies scriptText (NUL-terminated), stores codes and stage slots and compiles; the
    // name stays empty. False for a null text or a script that does not compile.
    bool loadFromString(const char* scriptText, const int* stageSlots, const int* codes);

    // stageSlots: values copied to stage 0, 1, ... until a -1 or until 8 are stored; the
    // rest keep theirs. Null leaves every slot as it is.
    void storeStageSlots(const int* stageSlots);
    // codes: copied until a 0 or until 16 are stored; null stores none.
    void storeCodes(const int* codes) { codes_.store(codes); }

    // Device texture slot whose texture unit `stage` reads; -1 for a stage outside 0..7.
    // The value is as stored: a caller's list may hold any number, so the device checks
    // it against its 16 slots before indexing.
    int stageSlot(int stage) const;
    const char* scriptText() const { return scriptText_.c_str(); }
    int scriptLength() const { return static_cast<int>(scriptText_.size()); }
    int codeCount() const { return codes_.count(); }
    // Code by position; 0 outside 0..codeCount()-1.
    int code(int index) const { return codes_.at(index); }

protected:
    void setScript(const char* text, std::size_t length);

    std::string scriptText_;
    ParameterCodes<kMaxCodes> codes_;
    int stageSlot_[kMaxStages] = { 6, 6, 6, 6, 6, 6, 6, 6 };
};
