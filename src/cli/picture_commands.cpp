// The drawing commands, linked only into the helper program and the tests, so that
// velomast-cli itself starts without Qt's GUI libraries.
#include "commands.h"

namespace velomast::cli {

namespace {
TCommandFn Lookup(const std::string& name) {
    if (name == "render") return RunRender;
    if (name == "report") return RunReport;
    return nullptr;
}
} // namespace

void RegisterPictureCommands() {
    SetPictureCommandLookup(Lookup);
}

} // namespace velomast::cli
