// Running nec2c on a deck without Qt (the tool and the tests; the window uses QProcess
// with the same arguments).
#pragma once

#include <string>
#include <vector>

namespace velomast {

// The engine's program name, looked up on PATH.
inline constexpr const char* NecEngineProgram = "nec2c";

// The arguments of `nec2c -i DECK -o OUT` (without the program name).
std::vector<std::string> NecArguments(const std::string& deckFile, const std::string& outFile);

// Full path of an executable found on PATH, or empty.
std::string FindOnPath(const std::string& program);

struct TNecRunResult {
    bool Started = false;  // the engine could be started
    int ExitCode = -1;     // its exit status (-1 when it did not exit normally)
    std::string Output;    // what it wrote to stdout and stderr
};

// Runs nec2c synchronously and waits for it.
TNecRunResult RunNecEngine(const std::string& deckFile, const std::string& outFile);

} // namespace velomast
