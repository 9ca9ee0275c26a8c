// Reading a whole script file (material or vertex program text) through the current
// file system. Owns nothing: the caller keeps the text.
#pragma once

#include <string>

// Replaces text with the whole content of fileName. False (text untouched) for a null
// name or a file that cannot be read.
bool readTextFile(const char* fileName, std::string& text);
