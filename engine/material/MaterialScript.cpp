#include "engine/material/MaterialScript.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* kOperationKeywords[kOperationCount] = {
    "disable", "leftarg", "modulate", "modulate2x", "modulate4x", "add",
    "addsigned", "subtract", "diffusealpha", "texturealpha", "currentalpha", "dot3",
};

constexpr const char* kArgumentKeywords[kArgumentCount] = { "d0", "t0", "r0", "c0" };

constexpr const char* kSlotNames[kMaterialSlotNameCount] = {
    "diffuse", "lightmap", "specular", "detail", "normalmap", "reflection",
    "user0", "user1", "normcubemap",
};

constexpr std::string_view kSeparators = " \t\r\n.";

// Hands out the separator-delimited tokens of the text one by one.
class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    // False at the end of the text.
    bool next(std::string_view& token)
    {
        std::size_t start = text_.find_first_not_of(kSeparators, position_);
        if (start == std::string_view::npos) {
            position_ = text_.size();
            return false;
        }
        std::size_t end = text_.find_first_of(kSeparators, start);
        if (end == std::string_view::npos)
            end = text_.size();
        token = text_.substr(start, end - start);
        position_ = end;
        return true;
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

int findKeyword(std::string_view token, const char* const* table, int count)
{
    for (int i = 0; i < count; ++i)
        if (token == table[i])
            return i;
    return -1;
}

// A decimal integer with a leading sign, read as far as digits go; a token that does not
// start with a number reads as 0. Values beyond the int range saturate, so they stay out
// of every valid range instead of wrapping into one.
int readInteger(std::string_view token)
{
    std::string copy(token);
    long long value = std::strtoll(copy.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::string quoted(std::string_view token)
{
    return "'" + std::string(token) + "'";
}

enum class Step { Continue, Stop, Error };

class Compiler {
public:
    Compiler(std::string_view text, MaterialScript& script) : tokens_(text), script_(script) {}

    bool run()
    {
        std::string_view token;
        while (tokens_.next(token)) {
            Step step = dispatch(token);
            if (step == Step::Stop)
                break;
            if (step == Step::Error) {
                failed_ = true;
                break;
            }
        }
        script_.stageCount = stage_ + 1;
        return !failed_;
    }

    const std::string& reason() const { return reason_; }

private:
    Step dispatch(std::string_view token)
    {
        if (token == "tex")
            return texture();
        if (token == "const")
            return constant();
        if (token == "rgb")
            return channel("rgb", true);
        if (token == "alpha")
            return channel("alpha", false);
        return Step::Continue;
    }

    Step fail(std::string text)
    {
        reason_ = std::move(text);
        return Step::Error;
    }

    Step texture()
    {
        if (stage_ + 1 >= kMaterialMaxStages)
            return Step::Stop;
        ++stage_;
        std::string_view token;
        if (!tokens_.next(token))
            return fail("tex: missing texture slot");
        int slot = findKeyword(token, kSlotNames, kMaterialSlotNameCount);
        if (slot < 0)
            slot = readInteger(token);
        if (slot < 0 || slot >= kMaterialMaxStages)
            return fail("tex: texture slot " + quoted(token) + " is not in 0..7");
        script_.stageSlot[stage_] = slot;
        return Step::Continue;
    }

    Step constant()
    {
        int values[4];
        for (int& value : values) {
            std::string_view token;
            if (!tokens_.next(token))
                return fail("const: needs four values 0..255");
            value = readInteger(token);
            if (value < 0 || value > 255)
                return fail("const: value " + quoted(token) + " is not in 0..255");
        }
        script_.constant.red = static_cast<std::uint8_t>(values[0]);
        script_.constant.green = static_cast<std::uint8_t>(values[1]);
        script_.constant.blue = static_cast<std::uint8_t>(values[2]);
        script_.constant.alpha = static_cast<std::uint8_t>(values[3]);
        return Step::Continue;
    }

    Step channel(const char* keyword, bool colour)
    {
        if (stage_ < 0 || stage_ >= kMaterialMaxStages)
            return Step::Stop;
        std::string name(keyword);
        std::string_view token;
        if (!tokens_.next(token))
            return fail(name + ": missing operation");
        int operation = findKeyword(token, kOperationKeywords, kOperationCount);
        if (operation < 0)
            return fail(name + ": unknown operation " + quoted(token));
        int arguments[2];
        for (int& argument : arguments) {
            if (!tokens_.next(token))
                return fail(name + ": needs two arguments");
            argument = findKeyword(token, kArgumentKeywords, kArgumentCount);
            if (argument < 0)
                return fail(name + ": unknown argument " + quoted(token));
        }
        MaterialStage& stage = script_.stages[stage_];
        if (colour) {
            stage.rgbOperation = operation;
            stage.rgbArgument1 = arguments[0];
            stage.rgbArgument2 = arguments[1];
        } else {
            stage.alphaOperation = operation;
            stage.alphaArgument1 = arguments[0];
            stage.alphaArgument2 = arguments[1];
        }
        return Step::Continue;
    }

    Tokenizer tokens_;
    MaterialScript& script_;
    int stage_ = -1;
    bool failed_ = false;
    std::string reason_;
};

const char* lookup(const char* const* table, int count, int index)
{
    return index >= 0 && index < count ? table[index] : nullptr;
}

}

bool compileMaterialScript(const char* text, std::size_t length, MaterialScript& script,
    std::string* reason)
{
    if (text == nullptr) {
        if (reason != nullptr)
            *reason = "no script text";
        return false;
    }
    Compiler compiler(std::string_view(text, strnlen(text, length)), script);
    bool ok = compiler.run();
    if (!ok && reason != nullptr)
        *reason = compiler.reason();
    return ok;
}

const char* materialOperationKeyword(int operation)
{
    return lookup(kOperationKeywords, kOperationCount, operation);
}

const char* materialArgumentKeyword(int argument)
{
    return lookup(kArgumentKeywords, kArgumentCount, argument);
}

const char* materialSlotName(int slot)
{
    return lookup(kSlotNames, kMaterialSlotNameCount, slot);
}
