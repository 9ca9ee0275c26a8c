// ImportPictures: the pictures an imported model's materials name, made into files the
// engine reads beside the model. JPEG, BMP and TGA files are copied as they are; PNG
// files and the pictures a file embeds become JPEG. Each picture is converted once and
// gets a plain file name, unique among the files written. It reads the source files
// and owns the bytes of the pictures until the caller writes them.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

struct aiScene;

class ImportPictures {
public:
    // modelPath: where relative references start; stem: the output model's name without
    // extension (embedded pictures are named after it); taken: names already in use.
    ImportPictures(const aiScene& scene, const std::string& modelPath, const std::string& stem,
        std::vector<std::string> taken);

    // The file name the model should refer to for reference (a path or "*N"); empty
    // when the picture cannot be used, with the reason in problem.
    std::string nameFor(const std::string& reference, std::string& problem);
    // Pictures to write: file name and bytes.
    const std::vector<std::pair<std::string, std::string>>& files() const { return files_; }
    // Pictures whose transparency JPEG dropped.
    const std::vector<std::string>& alphaDropped() const { return alphaDropped_; }

private:
    bool embedded(const std::string& reference, std::string& bytes, std::string& extension, std::string& problem);
    bool onDisk(const std::string& reference, std::string& bytes, std::string& extension, std::string& problem);
    std::string uniqueName(const std::string& base, const std::string& extension);

    const aiScene& scene_;
    std::string folder_;
    std::string stem_;
    std::vector<std::string> taken_;
    std::map<std::string, std::string> names_;  // reference -> file name
    std::vector<std::pair<std::string, std::string>> files_;
    std::vector<std::string> alphaDropped_;
};
