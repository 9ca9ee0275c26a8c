#include "tests/support/ChildProcess.h"

#include "tests/support/ScratchDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

void execChild(const std::vector<std::string>& argv, const ChildOptions& options,
    const std::string& outPath, const std::string& errPath, const std::string& inPath)
{
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
        _exit(126);
    for (const std::string& entry : options.environment)
        putenv(const_cast<char*>(entry.c_str()));
    int in = open(inPath.c_str(), O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

}

ChildResult runChild(const std::vector<std::string>& argv, const ChildOptions& options)
{
    ScratchDir capture;
    std::string outPath = capture.file("out");
    std::string errPath = capture.file("err");
    std::string inPath = capture.write("in", options.input);

    ChildResult result;
    pid_t pid = fork();
    if (pid == 0)
        execChild(argv, options, outPath, errPath, inPath);
    if (pid < 0)
        return result;

    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    bool signalled = false;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (!signalled && options.signalAfterSeconds >= 0.0 && elapsed >= options.signalAfterSeconds) {
            kill(pid, options.signalNumber);
            signalled = true;
        }
        if (elapsed >= options.killAfterSeconds)
            kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.termSignal = WTERMSIG(status);
    result.out = readWholeFile(outPath);
    result.err = readWholeFile(errPath);
    return result;
}

ChildResult runBuilt(const std::string& program, const std::vector<std::string>& args, const ChildOptions& options)
{
    std::vector<std::string> argv { VELVET_BUILD_DIR "/" + program };
    argv.insert(argv.end(), args.begin(), args.end());
    return runChild(argv, options);
}
