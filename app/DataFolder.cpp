#include "app/DataFolder.h"

#include "demo/ShowFiles.h"

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
    for (const std::string& candidate : candidates) {
        std::error_code ec;
        const std::string place = fs::absolute(candidate, ec).lexically_normal().string();
        search.tried.push_back(place);
        if (!fs::is_directory(place, ec)) {
            search.why.push_back("no such folder");
        } else if (!fs::is_regular_file(fs::path(place) / showfiles::SYNC, ec)) {
            search.why.push_back(std::string("no ") + showfiles::SYNC + " in it");
        } else {
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
    for (std::size_t i = 0; i < search.tried.size(); ++i)
        text += "  " + search.tried[i] + (i < search.why.size() ? " (" + search.why[i] + ")" : "") + "\n";
    return text;
}
