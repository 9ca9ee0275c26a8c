// Where the show's data folder is: "Data" in the working directory first, then beside
// the executable, then the installed data folder. It only looks; it does not change
// directory (demoInit does, through the file-system registry).
#pragma once

#include <string>
#include <vector>

struct DataFolderSearch {
    std::string found;              // absolute path of the folder; empty when none exists
    std::vector<std::string> tried; // every place looked at, in order
};

// The installed data folder, the last place looked at.
std::string installedDataFolder();
// Looks in the three places in order.
DataFolderSearch findDataFolder();
// Looks through candidates in order (the first existing directory wins).
DataFolderSearch findDataFolderAmong(const std::vector<std::string>& candidates);
// The three places: workingDir/Data, exeDir/Data, installedDir (empty parts skipped).
std::vector<std::string> dataFolderCandidates(const std::string& workingDir, const std::string& exeDir,
    const std::string& installedDir);
// The text to show when nothing was found: one line per place looked at.
std::string describeMissingDataFolder(const DataFolderSearch& search);
