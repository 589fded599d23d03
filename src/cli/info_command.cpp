// velomast-cli info FILE [--json]: reads FILE as the editor opens it and prints what the
// model holds, as a short summary or as one JSON object.
#include "commands.h"
#include "json_writer.h"

#include "files/maa_reader.h"
#include "model/number_format.h"
#include "model/wire_list.h"

#include <memory>
#include <ostream>

namespace velomast::cli {

namespace {

const char* PositionLetter(uint8_t position) {
    switch (position) {
    case PosBegin: return "b";
    case PosEnd: return "e";
    default: return "c";
    }
}

const char* EncodingName(const TWireList& m) { return m.Encoding == TTextEncoding::Utf8 ? "utf-8" : "cp1251"; }

void Point(TJsonWriter& j, const Vec3& p) {
    j.BeginArray();
    j.Real(p.X);
    j.Real(p.Y);
    j.Real(p.Z);
    j.EndArray();
}

void StringArray(TJsonWriter& j, const std::vector<std::string>& items) {
    j.BeginArray();
    for (const std::string& s : items) j.String(s);
    j.EndArray();
}

void ObjectPlace(TJsonWriter& j, const TWObject& o) {
    j.Key("ref");
    j.String(o.WireRef());
    j.Key("wire");
    j.Int(o.Wire ? o.Wire->Number() : 0);
    j.Key("position");
    j.String(PositionLetter(o.Position));
    j.Key("segNo");
    j.Int(o.SegNo);
}

std::string ModelJson(const TWireList& m, const TReadResult& r) {
    const bool ok = ReadStatusExit(r) == ExitOk;
    TJsonWriter j;
    j.BeginObject();
    j.Key("ok");
    j.Bool(ok);
    j.Key("error");
    if (ok)
        j.Null();
    else
        j.String(r.Message);
    j.Key("encoding");
    j.String(EncodingName(m));
    j.Key("lines");
    j.Int(static_cast<int64_t>(m.FileLineCount));
    j.Key("name");
    j.String(m.ModelName);
    j.Key("frequency");
    j.Real(m.Frequency);
    j.Key("wavelength");
    j.Real(m.Wavelength);
    j.Key("ground");
    j.Int(m.GroundType);
    j.Key("height");
    j.Real(m.BaseHeight);
    j.Key("material");
    j.Int(m.Material);
    j.Key("stdZR");
    j.Real(m.StdZR);
    j.Key("stdZjX");
    j.Real(m.StdZjX);
    j.Key("fbAzimuth");
    j.Int(m.FBAzimuth);
    j.Key("fbElevation");
    j.Int(m.FBElevation);
    j.Key("segmentation");
    j.String(m.SegmentationLine);
    j.Key("comment");
    j.String(m.Comment);
    j.Key("taper");
    StringArray(j, m.TaperLines);
    j.Key("linked");
    StringArray(j, m.LinkedList);

    j.Key("wires");
    j.BeginArray();
    for (size_t i = 0; i < m.OwnCount(); ++i) {
        const TWire& w = *m[i];
        j.BeginObject();
        j.Key("p1");
        Point(j, w.P1());
        j.Key("p2");
        Point(j, w.P2());
        j.Key("radius");
        j.Real(w.Radius);
        j.Key("segments");
        j.Int(w.Segments);
        j.Key("length");
        j.Real(w.WireLength());
        j.EndObject();
    }
    j.EndArray();

    j.Key("sources");
    j.BeginArray();
    for (const auto& s : m.Sources) {
        j.BeginObject();
        ObjectPlace(j, *s);
        j.Key("voltage");
        j.Real(s->Values[0]);
        j.Key("phase");
        j.Real(s->Values[1]);
        j.EndObject();
    }
    j.EndArray();

    j.Key("loads");
    j.BeginArray();
    for (const auto& l : m.Loads) {
        j.BeginObject();
        ObjectPlace(j, *l);
        j.Key("values");
        j.BeginArray();
        for (double v : l->Values) j.Real(v);
        j.EndArray();
        j.EndObject();
    }
    j.EndArray();

    j.Key("elements");
    j.BeginArray();
    for (const auto& e : m.Elements) {
        j.BeginObject();
        j.Key("kind");
        j.String(ElementKindLetter(*e));
        j.Key("wires");
        j.BeginArray();
        for (const TWire* w : e->ElementWires) j.Int(w->Number());
        j.EndArray();
        j.Key("length");
        j.Real(ElementLength(*e));
        j.EndObject();
    }
    j.EndArray();

    j.Key("junctions");
    j.Int(static_cast<int64_t>(m.Junctions.size()));
    j.Key("truncated");
    j.Bool(r.Truncated);
    j.Key("warnings");
    StringArray(j, r.Warnings);
    j.EndObject();
    return j.Text();
}

void Summary(std::ostream& out, const TWireList& m, const std::string& file, const TReadResult& r) {
    auto g = [](double x) { return FloatToStrGeneral(x, 7); };
    out << "Файл: " << file << '\n'
        << "Кодировка: " << EncodingName(m) << ", строк: " << m.FileLineCount << '\n'
        << "Название: " << m.ModelName << '\n'
        << "Частота: " << g(m.Frequency) << " МГц, длина волны: " << g(m.Wavelength) << " м\n"
        << "Проводов: " << m.OwnCount() << ", источников: " << m.Sources.size() << ", нагрузок: " << m.Loads.size()
        << '\n'
        << "Элементов: " << m.Elements.size() << ", узлов: " << m.Junctions.size() << '\n';
    PrintReadWarnings(r, out);
}

} // namespace

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else if (a.size() > 1 && a[0] == '-') {
            err << "Неизвестный параметр: " << a << '\n';
            return ExitUsage;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 1) {
        err << "Использование: velomast-cli info FILE [--json]\n";
        return ExitUsage;
    }

    // Nothing is edited: no undo snapshot, and the program leaves the model to its exit.
    auto owned = std::make_unique<TWireList>();
    TWireList& model = *owned;
    const TReadResult r = ReadModel(model, files[0], false);
    struct Leave {
        std::unique_ptr<TWireList>& Model;
        ~Leave() {
            if (SkipTeardown) (void)Model.release();
        }
    } leave{owned};
    const int status = ReadStatusExit(r);
    if (status == ExitIo) {
        err << r.Message << '\n';
        return ExitIo;
    }
    if (json)
        out << ModelJson(model, r) << '\n';
    else if (r.Status != TReadStatus::NotAModel) // nothing was read to sum up
        Summary(out, model, files[0], r);
    if (status != ExitOk) err << r.Message << '\n';
    return status;
}

} // namespace velomast::cli
