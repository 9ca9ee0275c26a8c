// qztool zip: list, print and create zip archives through the engine's own file
// systems (the registry with qzUnzipFileSys or qzZipFileSys mounted).
#include "tools/qztool/Command.h"
#include "tools/qztool/Session.h"

#include "engine/core/Error.h"
#include "engine/core/FileSystems.h"
#include "engine/core/qzUnzipFileSys.h"

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* USAGE =
    "  qztool zip list ARCHIVE               member names, one per line, in archive order\n"
    "  qztool zip cat ARCHIVE MEMBER         the member's bytes on standard output\n"
    "  qztool zip create ARCHIVE FILE...     a new archive, one stored member per FILE\n";

std::string lastReason(const char* fallback)
{
    return lastErrorCode() != 0 ? lastErrorMessage() : std::string(fallback);
}

qzUnzipFileSys* mountArchive(const std::string& archive)
{
    selectFileSystem(FS_SLOT_UNZIP, archive.c_str());
    auto* unzip = dynamic_cast<qzUnzipFileSys*>(currentFileSystem());
    return unzip && unzip->isMounted() ? unzip : nullptr;
}

int list(const std::string& archive)
{
    QzSession session;
    qzUnzipFileSys* unzip = mountArchive(archive);
    std::vector<std::string> names;
    if (!unzip || !unzip->listMembers(names))
        return qzFailure(archive, lastReason("not a zip archive"));
    std::string out;
    for (const std::string& name : names)
        out += name + "\n";
    return writeStandardOutput(out);
}

// Reads an open file from its start to its recorded length; false when it ends early.
// The caller closes it.
bool readOpenFile(FileSys& fs, std::int32_t handle, std::string& bytes)
{
    bytes.assign(fs.fileLength(handle), '\0');
    std::uint32_t done = 0;
    while (done < bytes.size()) {
        std::int32_t n = fs.read(handle, bytes.data() + done, static_cast<std::uint32_t>(bytes.size() - done));
        if (n <= 0)
            break;
        done += static_cast<std::uint32_t>(n);
    }
    return done == bytes.size();
}

// The whole member is read (and its checksum checked) before anything is printed, so a
// damaged member prints nothing.
int cat(const std::string& archive, const std::string& member)
{
    QzSession session;
    qzUnzipFileSys* unzip = mountArchive(archive);
    if (!unzip)
        return qzFailure(archive, lastReason("not a zip archive"));
    std::int32_t handle = unzip->openFile(member.c_str(), FS_READ | FS_BINARY);
    if (handle == -1)
        return qzFailure(archive + ": " + member, lastReason("cannot open member"));
    std::string bytes;
    bool complete = readOpenFile(*unzip, handle, bytes) && lastErrorCode() == 0;
    unzip->closeFile(handle);
    if (!complete)
        return qzFailure(archive + ": " + member, lastReason("member shorter than recorded"));
    return writeStandardOutput(bytes);
}

bool readInput(FileSys& disk, const std::string& path, std::string& bytes)
{
    std::int32_t handle = disk.openFile(path.c_str(), FS_READ | FS_BINARY);
    if (handle == -1)
        return false;
    bool complete = readOpenFile(disk, handle, bytes);
    disk.closeFile(handle);
    return complete;
}

// Every input is read first, so a missing input leaves no archive behind; an archive
// that fails while being written is removed.
int create(const std::string& archive, const std::vector<std::string>& files)
{
    QzSession session;
    FileSys* disk = fileSystemAt(FS_SLOT_DISK);
    std::vector<std::string> contents(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!readInput(*disk, files[i], contents[i]))
            return qzFailure(files[i], lastReason("cannot read file"));
    }
    selectFileSystem(FS_SLOT_ZIP, archive.c_str());
    FileSys* zip = currentFileSystem();
    if (lastErrorCode() != 0)
        return qzFailure(archive, lastErrorMessage());
    std::string problem;
    for (std::size_t i = 0; i < files.size() && problem.empty(); ++i) {
        if (zip->openFile(files[i].c_str(), FS_WRITE | FS_BINARY) == -1) {
            problem = files[i] + ": " + lastReason("cannot add member");
            break;
        }
        const std::string& bytes = contents[i];
        for (std::size_t at = 0; at < bytes.size() && problem.empty();) {
            std::int32_t n = zip->write(0, bytes.data() + at, static_cast<std::uint32_t>(bytes.size() - at));
            if (n <= 0)
                problem = files[i] + ": " + lastReason("write failed");
            else
                at += static_cast<std::size_t>(n);
        }
        zip->closeFile(0);
    }
    selectFileSystem(FS_SLOT_DISK, ""); // completes the archive
    if (problem.empty() && lastErrorCode() != 0)
        problem = lastErrorMessage();
    if (!problem.empty()) {
        ::unlink(archive.c_str());
        return qzFailure(archive, problem);
    }
    return 0;
}

int run(const std::vector<std::string>& args)
{
    if (args.empty())
        return qzUsageError("zip: expected list, cat or create");
    const std::string& verb = args[0];
    if (verb == "list" && args.size() == 2)
        return list(args[1]);
    if (verb == "cat" && args.size() == 3)
        return cat(args[1], args[2]);
    if (verb == "create" && args.size() >= 3)
        return create(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    if (verb == "list" || verb == "cat" || verb == "create")
        return qzUsageError("zip " + verb + ": wrong number of arguments");
    return qzUsageError("zip: unknown subcommand '" + verb + "'");
}

QzCommand zipCommand("zip", USAGE, run);

}
