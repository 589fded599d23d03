// velomast-cli-pictures: the drawing commands of velomast-cli (render, report), which
// velomast-cli hands its process over to. Run directly it takes the same arguments.
#include "commands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    velomast::cli::RegisterPictureCommands();
    std::vector<std::string> args(argv, argv + argc);
    if (!args.empty()) args[0] = "velomast-cli";
    const int code = velomast::cli::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
