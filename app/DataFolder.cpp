#include "app/DataFolder.h"

#include <filesystem>
#include <system_error>

#ifndef VELVET_DATA_INSTALL_DIR
#define VELVET_DATA_INSTALL_DIR "/usr/local/share/velvet-orbit/Data"
#endif

namespace {

namespace fs = std::filesystem;

const char* const DATA_NAME = "Data";

std::string executableDirectory()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

std::string workingDirectory()
{
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    return ec ? std::string() : cwd.string();
}

}

std::vector<std::string> dataFolderCandidates(const std::string& workingDir, const std::string& exeDir,
    const std::string& installedDir)
{
    std::vector<std::string> candidates;
    if (!workingDir.empty())
        candidates.push_back((fs::path(workingDir) / DATA_NAME).string());
    if (!exeDir.empty())
        candidates.push_back((fs::path(exeDir) / DATA_NAME).string());
    if (!installedDir.empty())
        candidates.push_back(installedDir);
    return candidates;
}

DataFolderSearch findDataFolderAmong(const std::vector<std::string>& candidates)
{
    DataFolderSearch search;
    for (const std::string& place : candidates) {
        search.tried.push_back(place);
        std::error_code ec;
        if (fs::is_directory(place, ec)) {
            search.found = place;
            break;
        }
    }
    return search;
}

std::string installedDataFolder()
{
    return VELVET_DATA_INSTALL_DIR;
}

DataFolderSearch findDataFolder()
{
    return findDataFolderAmong(dataFolderCandidates(workingDirectory(), executableDirectory(), installedDataFolder()));
}

std::string describeMissingDataFolder(const DataFolderSearch& search)
{
    std::string text = "No data folder found. Looked in:\n";
    for (const std::string& place : search.tried)
        text += "  " + place + "\n";
    return text;
}
