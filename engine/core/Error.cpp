#include "engine/core/Error.h"

#include "platform/MessageBox.h"

#include <csignal>
#include <cstdio>

std::uint8_t errorFlags = 0;
Log errorLog;

namespace {
std::int32_t lastCode = 0;
std::string lastMessage;
std::int32_t lastDetail = 1;
}

void reportError(std::int32_t code, const std::string& message, std::int32_t detail)
{
    lastCode = code;
    lastMessage = message;
    lastDetail = detail;
    if (errorFlags & ERROR_TO_LOG)
        errorLog.print("ERROR [%d] %s", code, message.c_str());
    if (errorFlags & ERROR_TO_MESSAGE_BOX) {
        char text[4096];
        std::snprintf(text, sizeof text, "ERROR [%d] %s", code, message.c_str());
        platform::showMessageBox("duZER", text, platform::MessageIcon::None);
    }
    if (errorFlags & ERROR_TO_DEBUGGER)
        std::raise(SIGTRAP);
}

std::int32_t lastErrorCode() { return lastCode; }
const std::string& lastErrorMessage() { return lastMessage; }
std::int32_t lastErrorDetail() { return lastDetail; }

void clearLastError()
{
    lastCode = 0;
    lastMessage.clear();
    lastDetail = 1;
}
