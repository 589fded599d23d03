// velomast-cli: the editor's model files without the editor (see commands.h).
#include "commands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    velomast::cli::SkipTeardown = true;
    const std::vector<std::string> args(argv, argv + argc);
    const int code = velomast::cli::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
