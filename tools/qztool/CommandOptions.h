// Arguments of a qztool command: positional words and "--name VALUE" options, each
// option known to the command and given at most once. Checks only the shape; what a
// value means is the command's.
#pragma once

#include <map>
#include <string>
#include <vector>

struct CommandOptions {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // "--name" -> VALUE

    bool has(const std::string& name) const { return values.count(name) != 0; }
};

// Splits args; false with error naming the unknown, repeated or value-less option.
bool splitOptions(const std::vector<std::string>& args, const std::vector<std::string>& known, CommandOptions& out,
    std::string& error);

// A whole decimal number within [low, high], nothing else in text.
bool parseWholeNumber(const std::string& text, long low, long high, long& value);
