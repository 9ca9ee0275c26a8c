#include "tools/qztool/JsonText.h"

#include <cmath>
#include <cstdio>

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string jsonNumber(float value)
{
    if (!std::isfinite(value))
        return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(value));
    return text;
}

std::string jsonFloats(const float* values, int n)
{
    std::string out = "[";
    for (int i = 0; i < n; ++i)
        out += (i ? "," : "") + jsonNumber(values[i]);
    return out + "]";
}
