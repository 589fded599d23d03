// The commands of velomast-cli. Each command is one function in its own file; RunCli
// picks it by name from the table in cli.cpp.
//
// Exit status: 0 success, 1 the model file is faulty or holds no model (its message on
// stderr), 2 usage or I/O error.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class QGuiApplication;

namespace velomast {
class TScene;
class TWireList;
struct TReadResult;
} // namespace velomast

namespace velomast::cli {

enum : int { ExitOk = 0, ExitFaultyModel = 1, ExitUsage = 2, ExitIo = 2 };

// args: the command's own arguments (after the command name).
using TCommandFn = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct TCommand {
    const char* Name;
    const char* Usage; // the arguments, for the usage text
    // nullptr for a command that draws (render, report): it needs Qt's GUI libraries,
    // which velomast-cli does not load. Such a command runs in-process once
    // RegisterPictureCommands has run, otherwise in the helper program
    // velomast-cli-pictures, which takes over the process with the same arguments.
    TCommandFn Run;
};

// Makes render and report run in this process (the helper program and the tests).
void RegisterPictureCommands();
// The drawing command called `name`, once registered; nullptr otherwise.
TCommandFn PictureCommand(const std::string& name);
void SetPictureCommandLookup(TCommandFn (*lookup)(const std::string& name));

// Set by the program, not by the tests: `info` leaves its model to the end of the
// process instead of freeing it wire by wire.
inline bool SkipTeardown = false;

// velomast-cli info FILE [--json]
int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// velomast-cli normalize IN OUT
int RunNormalize(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// velomast-cli render FILE OUT.png [--view 0|1|2|3] [--size WxH] [--elevation E]
//   [--azimuth A] [--grid none|lines|dots] [--dimensions] [--no-direction] [--print]
//   [--scene SCENE.scn]; with --scene, FILE may be left out (the scene names its model).
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The exit status a read ends the tool with: ExitIo when the file is missing or cannot be
// read, ExitFaultyModel when it holds no model (no model file, 10 lines or fewer, no
// sections) or a model cut short by a missing wire; otherwise ExitOk. A wire section cut
// short still reads: the tool only warns.
int ReadStatusExit(const TReadResult& r);
// The tool never writes over a file it reads: true (with a message on `err`) when OUT is
// one of the inputs, also by another path or through a link.
bool OutputIsAnInput(const std::string& out, const std::vector<std::string>& inputs, std::ostream& err);
// The reader's warnings, one line each, "Предупреждение: " in front; the reason a file
// holds no model is left to the error line.
void PrintReadWarnings(const TReadResult& r, std::ostream& err);

// velomast-cli check FILE [--json]: 0 no errors, 1 errors found (or a faulty file), 2 usage or I/O.
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// velomast-cli nec FILE OUT.nec [--ground-er E] [--ground-sigma S] [--sweep F1 F2 N]
int RunNec(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// velomast-cli analyse FILE [--json]: runs nec2c; 2 when it is missing or fails.
int RunAnalyse(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// velomast-cli scene SCENE.scn OUT.maa
int RunScene(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Reads the model (`modelFile`, or the one line 2 of the scene file names when empty) and
// places the scene beside it; the scene's warnings go to `err`. Returns ExitOk or the exit
// status to stop with.
int LoadSceneFile(TWireList& model, TScene& scene, const std::string& sceneFile, const std::string& modelFile,
                  std::ostream& err);

// velomast-cli report FILE OUT.pdf [--view 0|1|2|3] [--template T]
int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Text needs a QGuiApplication. The tool makes its own, always on the offscreen platform,
// so that a picture does not depend on a display or the desktop's fonts; none when the
// process has one already.
std::unique_ptr<QGuiApplication> EnsureGuiApplication();

// Reads FILE for a command that needs the whole model: warnings and errors go to `err`.
// Returns ExitOk, or the exit status the command stops with (ReadStatusExit).
// Without `withHistory` no undo snapshot is taken (a command that edits nothing).
int ReadWholeModel(TWireList& model, const std::string& fileName, std::ostream& err, bool withHistory = true);

// The whole tool: argv[0] is the program, argv[1] the command.
int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

} // namespace velomast::cli
