#include "tools/qztool/CommandOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

bool splitOptions(const std::vector<std::string>& args, const std::vector<std::string>& known, CommandOptions& out,
    std::string& error)
{
    out = CommandOptions{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            out.positional.push_back(word);
            continue;
        }
        if (std::find(known.begin(), known.end(), word) == known.end()) {
            error = "unknown option '" + word + "'";
            return false;
        }
        if (i + 1 >= args.size()) {
            error = "option '" + word + "' needs a value";
            return false;
        }
        if (!out.values.emplace(word, args[++i]).second) {
            error = "option '" + word + "' given twice";
            return false;
        }
    }
    return true;
}

bool parseWholeNumber(const std::string& text, long low, long high, long& value)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || text.empty() || *end != '\0' || v < low || v > high)
        return false;
    value = v;
    return true;
}
