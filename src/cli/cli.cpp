#include "commands.h"

#include "files/maa_reader.h"

#include <array>
#include <exception>
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
             "[--dimensions] [--no-direction] [--print]",
             RunRender},
    TCommand{"report", "FILE OUT.pdf [--view 0|1|2|3] [--template T]", RunReport},
};

void PrintUsage(std::ostream& s) {
    s << "Использование:\n";
    for (const TCommand& c : kCommands) s << "  velomast-cli " << c.Name << ' ' << c.Usage << '\n';
    s << "Код выхода: 0 успех, 1 ошибка в файле модели, 2 ошибка вызова или ввода-вывода.\n";
}

} // namespace

int ReadWholeModel(TWireList& model, const std::string& fileName, std::ostream& err) {
    const TReadResult r = ReadModel(model, fileName);
    if (r.Status == TReadStatus::FileMissing || r.Status == TReadStatus::CannotRead) {
        err << r.Message << '\n';
        return ExitIo;
    }
    for (const std::string& w : r.Warnings) err << "Предупреждение: " << w << '\n';
    if (!r.Ok()) {
        // A model cut short by a missing wire is not the file's model.
        err << r.Message << '\n';
        return ExitFaultyModel;
    }
    return ExitOk;
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
