// qztool: the engine's formats on the command line, through the engine's own code paths.
#include "tools/qztool/Command.h"
#include "tools/qztool/Session.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace {

struct Entry {
    const char* usage;
    QzCommandFn run;
};

std::map<std::string, Entry>& commands()
{
    static std::map<std::string, Entry> table;
    return table;
}

void printUsage(std::FILE* out)
{
    std::fprintf(out, "usage: qztool COMMAND ARGS...\n");
    for (const auto& [name, entry] : commands())
        std::fprintf(out, "%s", entry.usage);
}

}

QzCommand::QzCommand(const char* name, const char* usage, QzCommandFn run)
{
    commands()[name] = Entry { usage, run };
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage(stdout);
        return 0;
    }
    auto found = commands().find(argv[1]);
    if (found == commands().end()) {
        printUsage(stderr);
        return qzUsageError(std::string("unknown command '") + argv[1] + "'");
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    return found->second.run(args);
}
