// Where the show's data folder is: "Data" in the working directory first, then beside
// the executable, then the installed data folder; or the one folder the user named. A
// place counts only when it is a folder holding the show's scene times ("Syncro.txt"),
// so a stray folder named Data is passed over. It only looks; it does not change
// directory (the show does, through the file-system registry, when it loads).
#pragma once

#include <string>
#include <vector>

struct DataFolderSearch {
    std::string found;              // absolute path of the folder; empty when none would do
    std::vector<std::string> tried; // every place looked at, in order (absolute)
    std::vector<std::string> why;   // for each place tried and passed over, the reason
};

// The installed data folder, the last place looked at.
std::string installedDataFolder();
// Looks in the three places in order.
DataFolderSearch findDataFolder();
// Looks through candidates in order (relative ones from the working directory); the
// first folder holding the scene times wins.
DataFolderSearch findDataFolderAmong(const std::vector<std::string>& candidates);
// The three places: workingDir/Data, exeDir/Data, installedDir (empty parts skipped).
std::vector<std::string> dataFolderCandidates(const std::string& workingDir, const std::string& exeDir,
    const std::string& installedDir);
// The text to show when nothing was found: one line per place looked at, with why it
// would not do.
std::string describeMissingDataFolder(const DataFolderSearch& search);
