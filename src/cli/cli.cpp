#include "commands.h"

#include "files/maa_reader.h"

#include <array>
#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <string_view>

namespace velomast::cli {

namespace {

constexpr std::array kCommands = {
    TCommand{"info", "FILE [--json]", RunInfo},
    TCommand{"normalize", "IN OUT", RunNormalize},
    TCommand{"render",
             "FILE OUT.png [--view 0|1|2|3] [--size WxH] [--elevation E] [--azimuth A] [--grid none|lines|dots] "
             "[--dimensions] [--no-direction] [--print] [--scene SCENE.scn]",
             RunRender},
    TCommand{"scene", "SCENE.scn OUT.maa", RunScene},
    TCommand{"check", "FILE [--json]", RunCheck},
    TCommand{"nec", "FILE OUT.nec [--ground-er E] [--ground-sigma S] [--sweep F1 F2 N]", RunNec},
    TCommand{"analyse", "FILE [--json]", RunAnalyse},
    TCommand{"report", "FILE OUT.pdf [--view 0|1|2|3] [--template T]", RunReport},
};

void PrintUsage(std::ostream& s) {
    s << "Использование:\n";
    for (const TCommand& c : kCommands) s << "  velomast-cli " << c.Name << ' ' << c.Usage << '\n';
    s << "Код выхода: 0 успех, 1 ошибка в файле модели, 2 ошибка вызова или ввода-вывода.\n";
}

} // namespace

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

int ReadWholeModel(TWireList& model, const std::string& fileName, std::ostream& err) {
    const TReadResult r = ReadModel(model, fileName);
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
        try {
            return c.Run(args, out, err);
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
