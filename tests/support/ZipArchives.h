// Zip archives made at test time by third-party tools (Info-ZIP zip, python3 zipfile),
// and deterministic member contents to put in them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ZipMember {
    std::string name;
    std::string bytes;
};

// InfoZipZip64: zip -fz, Zip64 extra fields in every header and a Zip64 end record.
enum class ZipMaker { InfoZipDeflated, InfoZipStored, InfoZipZip64, PythonDeflated, PythonStored };

const char* zipMakerName(ZipMaker maker);

// Bytes that compress somewhat (text-like runs mixed with noise), fixed by seed.
std::string sampleBytes(std::size_t n, std::uint32_t seed);

// Writes members as files under dir + "/src" and archives them in this order into
// archive with the given tool. False when the tool failed.
bool makeZip(ZipMaker maker, const std::string& dir, const std::string& archive,
    const std::vector<ZipMember>& members);

// Member names of archive in order, as `unzip -Z1` lists them.
std::vector<std::string> unzipListing(const std::string& archive);

// True when `unzip -t` finds archive sound.
bool unzipAccepts(const std::string& archive);

// The bytes of member as `unzip -p` prints them.
std::string unzipPrint(const std::string& archive, const std::string& member);
