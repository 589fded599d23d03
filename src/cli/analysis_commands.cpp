// velomast-cli check, nec and analyse: the geometry check, the NEC-2 deck and a nec2c run.
// No Qt here.
#include "commands.h"
#include "json_writer.h"

#include "analysis/geometry_check.h"
#include "analysis/nec_analysis.h"
#include "analysis/nec_deck.h"
#include "files/file_io.h"
#include "model/text_parse.h"
#include "model/wire_list.h"

#include <fstream>
#include <ostream>

namespace velomast::cli {

namespace {

// Splits off --json; false with a message for anything else unknown.
bool JsonFlag(const std::vector<std::string>& args, std::string* file, bool* json, const char* usage, std::ostream& err) {
    *json = false;
    file->clear();
    for (const std::string& a : args) {
        if (a == "--json") {
            *json = true;
        } else if (file->empty() && !a.empty() && a[0] != '-') {
            *file = a;
        } else {
            err << "Неверный аргумент: " << a << "\nИспользование: velomast-cli " << usage << '\n';
            return false;
        }
    }
    if (file->empty()) {
        err << "Использование: velomast-cli " << usage << '\n';
        return false;
    }
    return true;
}

bool ParseNumber(const std::string& text, double* v) {
    const double x = ParseReal(text, '.');
    if (x == NoValue) return false;
    *v = x;
    return true;
}

} // namespace

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string file;
    bool json = false;
    if (!JsonFlag(args, &file, &json, "check FILE [--json]", err)) return ExitUsage;
    TWireList model;
    if (const int s = ReadWholeModel(model, file, err); s != ExitOk) return s;
    const auto findings = CheckGeometry(model);
    const int errors = CountFindings(findings, TCheckSeverity::Error);
    if (json) {
        TJsonWriter j;
        j.BeginObject();
        j.Key("errors");
        j.Int(errors);
        j.Key("warnings");
        j.Int(CountFindings(findings, TCheckSeverity::Warning));
        j.Key("findings");
        j.BeginArray();
        for (const auto& f : findings) {
            j.BeginObject();
            j.Key("severity");
            j.String(f.Severity == TCheckSeverity::Error ? "error" : "warning");
            j.Key("rule");
            j.String(f.Rule);
            j.Key("wires");
            j.BeginArray();
            for (int w : f.Wires) j.Int(w);
            j.EndArray();
            j.Key("text");
            j.String(f.Text);
            j.EndObject();
        }
        j.EndArray();
        j.EndObject();
        out << j.Text() << '\n';
    } else {
        for (const auto& f : findings)
            out << (f.Severity == TCheckSeverity::Error ? "Ошибка" : "Предупреждение") << " [" << f.Rule << "]: " << f.Text
                << '\n';
        out << "Ошибок: " << errors << ", предупреждений: " << CountFindings(findings, TCheckSeverity::Warning) << '\n';
    }
    return errors > 0 ? 1 : ExitOk;
}

int RunNec(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const char* usage = "nec FILE OUT.nec [--ground-er E] [--ground-sigma S] [--sweep F1 F2 N]";
    std::vector<std::string> files;
    TNecDeckOptions opt;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool ok = true;
        if (a == "--ground-er") {
            ok = i + 1 < args.size() && ParseNumber(args[++i], &opt.GroundEr) && opt.GroundEr >= 1;
        } else if (a == "--ground-sigma") {
            ok = i + 1 < args.size() && ParseNumber(args[++i], &opt.GroundSigma) && opt.GroundSigma > 0;
        } else if (a == "--sweep") {
            double n = 0;
            ok = i + 3 < args.size() && ParseNumber(args[i + 1], &opt.SweepFrom) && ParseNumber(args[i + 2], &opt.SweepTo) &&
                 ParseNumber(args[i + 3], &n) && n >= 2 && n <= 10000 && n == static_cast<int>(n) && opt.SweepFrom > 0 &&
                 opt.SweepTo > opt.SweepFrom;
            opt.Sweep = true;
            opt.SweepSteps = static_cast<int>(n);
            i += 3;
        } else if (!a.empty() && a[0] == '-') {
            ok = false;
        } else {
            files.push_back(a);
        }
        if (!ok) {
            err << "Неверный аргумент: " << a << "\nИспользование: velomast-cli " << usage << '\n';
            return ExitUsage;
        }
    }
    if (files.size() != 2) {
        err << "Использование: velomast-cli " << usage << '\n';
        return ExitUsage;
    }
    if (OutputIsAnInput(files[1], {files[0]}, err)) return ExitUsage;
    TWireList model;
    if (const int s = ReadWholeModel(model, files[0], err); s != ExitOk) return s;
    const TNecDeck deck = WriteNecDeck(model, opt);
    for (const std::string& n : deck.Notes) err << "Примечание: " << n << '\n';
    if (const TFileResult w = WriteFileReplacing(files[1], deck.Text); !w.Ok) {
        err << "Не удалось записать " << files[1] << ": " << w.Message << '\n';
        return ExitIo;
    }
    out << "Записано: " << files[1] << " (проводников " << deck.Wires.size() << ", сегментов " << deck.Segments << ")\n";
    return ExitOk;
}

int RunAnalyse(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string file;
    bool json = false;
    if (!JsonFlag(args, &file, &json, "analyse FILE [--json]", err)) return ExitUsage;
    TWireList model;
    if (const int s = ReadWholeModel(model, file, err); s != ExitOk) return s;
    const TNecResult r = AnalyseModel(model);
    if (json) {
        TJsonWriter j;
        j.BeginObject();
        j.Key("ok");
        j.Bool(r.Ok);
        j.Key("error");
        if (r.Ok)
            j.Null();
        else
            j.String(r.Error);
        j.Key("frequency");
        j.Real(r.Frequency);
        j.Key("sources");
        j.BeginArray();
        for (const auto& s : r.Sources) {
            j.BeginObject();
            j.Key("wire");
            j.Int(s.Wire);
            j.Key("segment");
            j.Int(s.Segment);
            j.Key("r");
            j.Real(s.R);
            j.Key("x");
            j.Real(s.X);
            j.Key("swr");
            if (s.Swr > 0)
                j.Real(s.Swr);
            else
                j.Null();
            j.EndObject();
        }
        j.EndArray();
        j.Key("maxGainDbi");
        j.Real(r.MaxGainDbi);
        j.Key("maxGainElevation");
        j.Real(r.MaxGainElevation);
        j.Key("maxGainAzimuth");
        j.Real(r.MaxGainAzimuth);
        j.Key("frontBackDb");
        if (r.HasFrontBack)
            j.Real(r.FrontBackDb);
        else
            j.Null();
        j.Key("segments");
        j.Int(r.Segments);
        j.EndObject();
        out << j.Text() << '\n';
    } else {
        for (const std::string& l : FormatNecResult(r)) (r.Ok ? out : err) << l << '\n';
    }
    return r.Ok ? ExitOk : ExitIo;
}

} // namespace velomast::cli
