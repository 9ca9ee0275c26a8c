#include "tools/qztool/Session.h"

#include "engine/core/EngineHooks.h"
#include "engine/core/Error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

QzSession::QzSession()
{
    clearLastError();
    startEngineServices();
}

QzSession::~QzSession()
{
    stopEngineServices();
}

int qzUsageError(const std::string& text)
{
    std::fprintf(stderr, "qztool: %s\n", text.c_str());
    return 2;
}

int qzFailure(const std::string& text)
{
    std::fprintf(stderr, "qztool: %s\n", text.c_str());
    return 1;
}

int qzFailure(const std::string& file, const std::string& reason)
{
    return qzFailure(file + ": " + reason);
}

bool readWholeFile(const std::string& path, std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    char block[65536];
    std::size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, n);
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool writeWholeFile(const std::string& path, const std::string& bytes, std::string& reason)
{
    std::string temporary = path + ".partial-" + std::to_string(::getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int savedErrno = errno;
    bool closed = std::fclose(file) == 0;
    if (!closed && written)
        savedErrno = errno;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        reason = std::strerror(written && closed ? errno : savedErrno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int writeOutputFile(const std::string& path, const std::string& bytes)
{
    std::string reason;
    if (!writeWholeFile(path, bytes, reason))
        return qzFailure(path, "cannot write: " + reason);
    return 0;
}

int writeStandardOutput(const std::string& bytes)
{
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    return written ? 0 : qzFailure("standard output", "write failed");
}
