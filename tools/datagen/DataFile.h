// Writing one file of the data folder: whole or not at all. Every generator of datagen
// hands its bytes here; it owns no data.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// Writes bytes to dir/name through a temporary file renamed over it, so a reader never
// sees half a file. False (with a message on standard error) on failure.
bool writeDataFile(const std::filesystem::path& dir, const std::string& name, const void* bytes, std::size_t size);
bool writeDataFile(const std::filesystem::path& dir, const std::string& name, const std::string& text);
bool writeDataFile(const std::filesystem::path& dir, const std::string& name, const std::vector<unsigned char>& bytes);
