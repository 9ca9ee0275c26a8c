#include "tools/qztool/StagedFiles.h"

#include "tools/qztool/Session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

std::string temporaryFor(const std::string& path)
{
    return path + ".staged-" + std::to_string(::getpid());
}

}

void StagedFiles::add(const std::string& path, std::string bytes)
{
    files_.emplace_back(path, std::move(bytes));
}

bool StagedFiles::commit(std::string& failure)
{
    std::size_t written = 0;
    std::string reason;
    for (; written < files_.size(); ++written)
        if (!writeWholeFile(temporaryFor(files_[written].first), files_[written].second, reason))
            break;
    if (written < files_.size()) {
        failure = files_[written].first + ": cannot write: " + reason;
        for (std::size_t i = 0; i <= written; ++i)
            std::remove(temporaryFor(files_[i].first).c_str());
        return false;
    }
    for (const auto& [path, bytes] : files_) {
        if (std::rename(temporaryFor(path).c_str(), path.c_str()) != 0) {
            failure = path + ": cannot write: " + std::strerror(errno);
            for (const auto& [rest, unused] : files_)
                std::remove(temporaryFor(rest).c_str());
            return false;
        }
    }
    return true;
}
