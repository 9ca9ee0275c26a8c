#include "tests/support/ZipArchives.h"

#include "tests/support/ScratchDir.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

const char* zipMakerName(ZipMaker maker)
{
    switch (maker) {
    case ZipMaker::InfoZipDeflated: return "Info-ZIP zip, deflated";
    case ZipMaker::InfoZipStored: return "Info-ZIP zip -0, stored";
    case ZipMaker::InfoZipZip64: return "Info-ZIP zip -fz, Zip64";
    case ZipMaker::PythonDeflated: return "python zipfile, deflated";
    case ZipMaker::PythonStored: return "python zipfile, stored";
    }
    return "?";
}

std::string sampleBytes(std::size_t n, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bytes;
    bytes.reserve(n);
    static const char* words[] = { "velvet ", "orbit ", "scene ", "\0\0\0\0", "\xff\xfe" };
    while (bytes.size() < n) {
        if (random() % 3 == 0) {
            bytes += static_cast<char>(random() & 0xff);
        } else {
            const char* w = words[random() % 5];
            std::size_t len = (w[0] == '\0') ? 4 : std::char_traits<char>::length(w);
            bytes.append(w, len);
        }
    }
    bytes.resize(n);
    return bytes;
}

bool makeZip(ZipMaker maker, const std::string& dir, const std::string& archive,
    const std::vector<ZipMember>& members)
{
    std::string src = dir + "/src";
    std::filesystem::create_directories(src);
    std::string names;
    for (const ZipMember& m : members) {
        std::filesystem::path path = std::filesystem::path(src) / m.name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(m.bytes.data(), static_cast<std::streamsize>(m.bytes.size()));
        names += " " + shellQuote(m.name);
    }
    std::string command;
    switch (maker) {
    case ZipMaker::InfoZipDeflated:
    case ZipMaker::InfoZipStored:
    case ZipMaker::InfoZipZip64:
        command = "cd " + shellQuote(src) + " && zip -q -X -D "
            + (maker == ZipMaker::InfoZipStored ? "-0 " : maker == ZipMaker::InfoZipZip64 ? "-fz " : "-9 ")
            + shellQuote(archive) + names;
        break;
    case ZipMaker::PythonDeflated:
    case ZipMaker::PythonStored:
        command = "cd " + shellQuote(src) + " && python3 -c 'import sys, zipfile\n"
                  "m = zipfile.ZIP_STORED if sys.argv[1] == \"0\" else zipfile.ZIP_DEFLATED\n"
                  "with zipfile.ZipFile(sys.argv[2], \"w\", m) as z:\n"
                  "    [z.write(n) for n in sys.argv[3:]]' "
            + (maker == ZipMaker::PythonStored ? "0 " : "8 ") + shellQuote(archive) + names;
        break;
    }
    return runCommand(command + " >/dev/null") == 0;
}

std::vector<std::string> unzipListing(const std::string& archive)
{
    std::istringstream lines(captureCommand("unzip -Z1 " + shellQuote(archive) + " 2>/dev/null"));
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);)
        names.push_back(line);
    return names;
}

bool unzipAccepts(const std::string& archive)
{
    return runCommand("unzip -tq " + shellQuote(archive) + " >/dev/null") == 0;
}

std::string unzipPrint(const std::string& archive, const std::string& member)
{
    return captureCommand("unzip -p " + shellQuote(archive) + " " + shellQuote(member));
}
