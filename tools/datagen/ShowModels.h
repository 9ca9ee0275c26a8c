// The show's models, each written with its textures (and its animation when it has one)
// into the data folder by one datagen step. False, with a message, when a file cannot
// be written.
#pragma once

#include <filesystem>

// "FIXE.qzg": the robed figure at the origin.
bool writeFigure(const std::filesystem::path& dir);
// "police.qzg" and "police.qza": the skinned dancer and its dance.
bool writeDancer(const std::filesystem::path& dir);
// "sol.qzg" and "sol.qza": the swelling ground, its surface 160 units up.
bool writeGround(const std::filesystem::path& dir);
// "rien.qzg": the three orbit rings.
bool writeOrbitRings(const std::filesystem::path& dir);
// "cave_Scene_4.qzg": the cave around the figure.
bool writeCave(const std::filesystem::path& dir);
