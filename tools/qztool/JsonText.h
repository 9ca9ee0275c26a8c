// JSON text for qztool's reports: quoted strings and numbers. It formats values only.
#pragma once

#include <string>

// text in double quotes, with quotes, backslashes and control characters escaped.
std::string jsonString(const std::string& text);
// %.9g; infinities and NaN, which JSON lacks, print as null.
std::string jsonNumber(float value);
// [a,b,...] of n numbers as jsonNumber prints them.
std::string jsonFloats(const float* values, int n);
