// Runs velomast-cli in-process and keeps its exit status and both output streams.
#pragma once

#include "cli/commands.h"

#include <sstream>
#include <string>
#include <vector>

namespace velomast::test {

struct RunOutput {
    int Code;
    std::string Out;
    std::string Err;
};

// `args` are the command line after the program name.
inline RunOutput Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "velomast-cli");
    std::ostringstream out, err;
    cli::RegisterPictureCommands();
    const int code = cli::RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

} // namespace velomast::test
