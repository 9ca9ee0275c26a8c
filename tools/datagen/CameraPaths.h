// The show's camera paths, designed in code: for each path file, a list of timed camera
// placements aimed at the scene's subject, moving on the beat, in the text format the
// director reads (seven integers per key, one per line). It owns nothing beyond the
// keys it returns; writing the files is the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DesignedKey {
    std::int32_t timeMs = 0;
    float translation[3] = {0, 0, 0}; // the eye negated
    float angles[3] = {0, 0, 0};      // pitch, yaw, roll in degrees
};

struct DesignedPath {
    std::string fileName; // "Fixe.txt", "Fixe2.txt", "Scene4.txt" .. "Scene8.txt"
    std::vector<DesignedKey> keys;
};

// Every path file of the show, in a fixed order.
std::vector<DesignedPath> designCameraPaths();
// The file text: each key's time, then translation and angles times 10000 truncated
// toward zero, every integer on its own line.
std::string pathFileText(const DesignedPath& path);
