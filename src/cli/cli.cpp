#include "commands.h"

#include "files/maa_reader.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <string_view>

#include <unistd.h>

namespace velomast::cli {

namespace {

constexpr std::array kCommands = {
    TCommand{"info", "FILE [--json]", RunInfo},
    TCommand{"normalize", "IN OUT", RunNormalize},
    TCommand{"render",
             "FILE OUT.png [--view 0|1|2|3] [--size WxH] [--elevation E] [--azimuth A] [--grid none|lines|dots] "
             "[--dimensions] [--no-direction] [--print] [--scene SCENE.scn]",
             nullptr},
    TCommand{"scene", "SCENE.scn OUT.maa", RunScene},
    TCommand{"check", "FILE [--json]", RunCheck},
    TCommand{"nec", "FILE OUT.nec [--ground-er E] [--ground-sigma S] [--sweep F1 F2 N]", RunNec},
    TCommand{"analyse", "FILE [--json]", RunAnalyse},
    TCommand{"report", "FILE OUT.pdf [--view 0|1|2|3] [--template T]", nullptr},
};

TCommandFn (*PictureLookup)(const std::string& name) = nullptr;

// The helper program that draws, installed beside this program (so that it finds the
// report template the same way).
std::string PicturesHelper() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const std::filesystem::path dir = self.parent_path();
    const std::filesystem::path p = dir / "velomast-cli-pictures";
    return ::access(p.c_str(), X_OK) == 0 ? p.string() : std::string();
}

// Hands the process over to the helper with the same arguments; returns only on failure.
int RunInHelper(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    const std::string helper = PicturesHelper();
    if (helper.empty()) {
        err << "Не найдена программа velomast-cli-pictures, которая рисует виды и отчёты; переустановите "
               "программу\n";
        return ExitIo;
    }
    out.flush();
    err.flush();
    std::vector<char*> args;
    args.push_back(const_cast<char*>(helper.c_str()));
    for (size_t i = 1; i < argv.size(); ++i) args.push_back(const_cast<char*>(argv[i].c_str()));
    args.push_back(nullptr);
    ::execv(helper.c_str(), args.data());
    err << "Не удалось запустить " << helper << ": " << std::strerror(errno) << '\n';
    return ExitIo;
}

void PrintUsage(std::ostream& s) {
    s << "Использование:\n";
    for (const TCommand& c : kCommands) s << "  velomast-cli " << c.Name << ' ' << c.Usage << '\n';
    s << "Код выхода: 0 успех, 1 ошибка в файле модели, 2 ошибка вызова или ввода-вывода.\n";
}

} // namespace

void SetPictureCommandLookup(TCommandFn (*lookup)(const std::string& name)) { PictureLookup = lookup; }

TCommandFn PictureCommand(const std::string& name) { return PictureLookup ? PictureLookup(name) : nullptr; }

bool OutputIsAnInput(const std::string& out, const std::vector<std::string>& inputs, std::ostream& err) {
    for (const std::string& in : inputs) {
        std::error_code ec;
        if (in.empty() || !std::filesystem::equivalent(in, out, ec)) continue;
        err << "Файл результата " << out << " — это исходный файл " << in
            << "; исходный файл не изменяется, укажите другой файл результата\n";
        return true;
    }
    return false;
}

int ReadStatusExit(const TReadResult& r) {
    switch (r.Status) {
    case TReadStatus::FileMissing:
    case TReadStatus::CannotRead: return ExitIo;
    // A model cut short by a missing wire is not the file's model; a file that holds none
    // is no model file.
    case TReadStatus::WireNotFound:
    case TReadStatus::NotAModel: return ExitFaultyModel;
    case TReadStatus::Read: break;
    }
    return r.NoModel ? ExitFaultyModel : ExitOk;
}

void PrintReadWarnings(const TReadResult& r, std::ostream& err) {
    for (const std::string& w : r.Warnings)
        if (!r.NoModel || w != r.Message) err << "Предупреждение: " << w << '\n';
}

int ReadWholeModel(TWireList& model, const std::string& fileName, std::ostream& err, bool withHistory) {
    const TReadResult r = ReadModel(model, fileName, withHistory);
    const int status = ReadStatusExit(r);
    if (status != ExitIo) PrintReadWarnings(r, err);
    if (status != ExitOk) err << r.Message << '\n';
    return status;
}

int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    if (argv.size() < 2) {
        PrintUsage(err);
        return ExitUsage;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(out);
        return ExitOk;
    }
    for (const TCommand& c : kCommands) {
        if (name != c.Name) continue;
        const std::vector<std::string> args(argv.begin() + 2, argv.end());
        TCommandFn run = c.Run ? c.Run : PictureCommand(c.Name);
        if (!run) return RunInHelper(argv, out, err);
        try {
            return run(args, out, err);
        } catch (const std::bad_alloc&) {
            err << "Недостаточно памяти.\n";
            return ExitIo;
        } catch (const std::exception& e) {
            err << "Ошибка: " << e.what() << '\n';
            return ExitIo;
        }
    }
    err << "Неизвестная команда: " << name << '\n';
    PrintUsage(err);
    return ExitUsage;
}

} // namespace velomast::cli
