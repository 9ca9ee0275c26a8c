// The one error-reporting function of the engine. Reports are always recorded as the
// last error; errorFlags chooses where else they go. Nothing in the engine changes
// errorFlags or opens errorLog: an application that wants them sets them itself.
#pragma once

#include "engine/core/Log.h"

#include <cstdint>
#include <string>

// errorFlags bits.
constexpr std::uint8_t ERROR_TO_LOG = 0x01;        // "ERROR [%d] %s" to errorLog
constexpr std::uint8_t ERROR_TO_MESSAGE_BOX = 0x02; // message box captioned "duZER"
constexpr std::uint8_t ERROR_TO_DEBUGGER = 0x04;    // breakpoint trap

extern std::uint8_t errorFlags;
extern Log errorLog;

// Records (code, message, detail) as the last error and sends it where errorFlags says.
// Never fails; the caller carries on with its own failure value.
void reportError(std::int32_t code, const std::string& message, std::int32_t detail);

std::int32_t lastErrorCode();
const std::string& lastErrorMessage();
std::int32_t lastErrorDetail();
// Back to the start-up state (code 0, empty message, detail 1); for tests and tools.
void clearLastError();
