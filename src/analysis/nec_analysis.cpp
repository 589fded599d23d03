#include "nec_analysis.h"

#include "nec_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace velomast {

TNecResult AnalyseModel(const TWireList& model, const TNecDeckOptions& options) {
    TNecResult r;
    if (FindOnPath(NecEngineProgram).empty()) {
        r.Error = "Программа nec2c не найдена; установите её: sudo apt install nec2c";
        return r;
    }
    const TNecDeck deck = WriteNecDeck(model, options);
    if (deck.Wires.empty()) {
        r.Error = "В модели нет проводников для расчёта";
        return r;
    }
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "velomast-nec-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        r.Error = "Не удалось создать временную папку для расчёта";
        return r;
    }
    const std::filesystem::path dir = pattern;
    const std::string deckFile = (dir / "model.nec").string(), outFile = (dir / "model.out").string();
    {
        std::ofstream f(deckFile, std::ios::binary);
        f << deck.Text;
        if (!f) r.Error = "Не удалось записать файл " + deckFile;
    }
    if (r.Error.empty()) {
        const TNecRunResult run = RunNecEngine(deckFile, outFile);
        std::ifstream in(outFile, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        if (!run.Started) {
            r.Error = "Не удалось запустить nec2c";
        } else {
            r = ReadNecOutput(ss.str(), model);
            if (!r.Ok && run.ExitCode != 0 && !run.Output.empty()) {
                std::string msg = run.Output;
                while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
                if (!msg.empty()) r.Error += " (" + msg.substr(msg.find_last_of('\n') + 1) + ")";
            }
        }
    }
    std::filesystem::remove_all(dir, ec);
    return r;
}

} // namespace velomast
