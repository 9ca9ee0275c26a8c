#include "app/TextTokens.h"

#include <cctype>
#include <cstdlib>
#include <limits>

bool readToken(std::FILE* stream, char (&buffer)[MAX_TOKEN_CHARS + 1])
{
    int c = std::fgetc(stream);
    while (c != EOF && std::isspace(c))
        c = std::fgetc(stream);
    if (c == EOF)
        return false;
    int length = 0;
    while (c != EOF && !std::isspace(c)) {
        if (length < MAX_TOKEN_CHARS)
            buffer[length++] = static_cast<char>(c);
        c = std::fgetc(stream);
    }
    buffer[length] = '\0';
    return true;
}

std::int32_t tokenValue(const char* token)
{
    long long value = std::strtoll(token, nullptr, 10);
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

bool readValue(std::FILE* stream, std::int32_t& value)
{
    char token[MAX_TOKEN_CHARS + 1];
    if (!readToken(stream, token))
        return false;
    value = tokenValue(token);
    return true;
}

bool readValues(const char* path, std::vector<std::int32_t>& values)
{
    values.clear();
    std::FILE* file = path ? std::fopen(path, "r") : nullptr;
    if (!file)
        return false;
    std::int32_t value = 0;
    while (readValue(file, value))
        values.push_back(value);
    std::fclose(file);
    return true;
}
