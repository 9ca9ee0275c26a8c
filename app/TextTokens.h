// Reading the demo's plain-text number files (the timeline, camera paths): tokens
// separated by any whitespace, converted like atol. It owns nothing; the caller owns the
// stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// Longest token kept; the rest of a longer token is skipped, never split into another.
constexpr int MAX_TOKEN_CHARS = 39;

// Reads the next whitespace-separated token into buffer (MAX_TOKEN_CHARS + 1 bytes).
// False at the end of the stream, when no token was left.
bool readToken(std::FILE* stream, char (&buffer)[MAX_TOKEN_CHARS + 1]);

// Optional sign and leading decimal digits, as atol; 0 when the token does not start with
// a number. Values beyond the 32-bit range saturate at its ends.
std::int32_t tokenValue(const char* token);

// Reads the next token as a value. False at the end of the stream.
bool readValue(std::FILE* stream, std::int32_t& value);

// Every value of the file at path, in order, into values (cleared first). False when the
// file does not open.
bool readValues(const char* path, std::vector<std::int32_t>& values);
