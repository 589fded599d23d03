#include "nec_run.h"

#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

extern char** environ;

namespace velomast {

std::vector<std::string> NecArguments(const std::string& deckFile, const std::string& outFile) {
    return {"-i", deckFile, "-o", outFile};
}

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return {};
    std::string p = path;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find(':', start);
        if (end == std::string::npos) end = p.size();
        const std::string dir = p.substr(start, end - start);
        if (!dir.empty()) {
            const std::string full = dir + "/" + program;
            if (::access(full.c_str(), X_OK) == 0) return full;
        }
        start = end + 1;
    }
    return {};
}

TNecRunResult RunNecEngine(const std::string& deckFile, const std::string& outFile) {
    TNecRunResult r;
    const std::string exe = FindOnPath(NecEngineProgram);
    if (exe.empty()) return r;
    const std::string log = outFile + ".log";
    // nec2c refuses file names longer than about 75 characters ("Input file name too
    // long"): with both files in one folder it runs there and gets the bare names.
    const std::filesystem::path deckPath(deckFile), outPath(outFile);
    const bool sameFolder = deckPath.has_parent_path() && deckPath.parent_path() == outPath.parent_path();
    std::vector<std::string> args = sameFolder ? NecArguments(deckPath.filename().string(), outPath.filename().string())
                                               : NecArguments(deckFile, outFile);
    args.insert(args.begin(), exe);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    if (sameFolder) posix_spawn_file_actions_addchdir_np(&fa, deckPath.parent_path().c_str());
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) return r;
    r.Started = true;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* f = std::fopen(log.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) r.Output.append(buf, n);
        std::fclose(f);
    }
    std::error_code ec;
    std::filesystem::remove(log, ec);
    return r;
}

} // namespace velomast
