// velomast-cli: the editor's model files without the editor (see commands.h).
#include "commands.h"

#include <iostream>
#include <string>
#include <vector>

// The heap stays in ordinary pages. glibc could be asked for huge pages (a tunable read
// only at start, so the program would have to start itself again): that saves page faults,
// about a tenth of the time at a million wires, but holds about 10 bytes more per wire.
int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    velomast::cli::SkipTeardown = true;
    const std::vector<std::string> args(argv, argv + argc);
    const int code = velomast::cli::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
