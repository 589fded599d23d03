#include "foreign_model.h"

#include "files/file_io.h"
#include "files/maa_reader.h"
#include "model/wire_commands.h"

#include <cmath>

namespace velomast {

namespace {

bool Readable(const Vec3& p) { return p.X != NoValue && p.Y != NoValue && p.Z != NoValue; }

} // namespace

bool LoadForeignModel(TWireList& model, const std::string& path, int32_t tag, double turn, const Vec3& offset,
                      TForeignLoad* report) {
    TForeignLoad local;
    TForeignLoad& r = report ? *report : local;
    r = {};
    const TTextFile file = ReadTextFileLines(path);
    if (file.Status == TFileReadStatus::Missing) return false;
    r.Exists = true;
    if (file.Status != TFileReadStatus::Ok) {
        r.Message = file.Message;
        return true;
    }
    const std::vector<std::string>& lines = file.Lines;
    if (lines.size() < 5 || lines[1] != "*") return true;
    r.IsModel = true;

    // The count as the model reader takes it, so that older files with further numbers
    // behind the count are read too.
    r.Announced = std::max(0, ReadWireCount(lines[4]));
    // The wire lines end where the file does or where the next section begins: a file that
    // announces more wires than it holds gives the ones it has.
    const size_t available = std::min<size_t>(lines.size() - 5, static_cast<size_t>(r.Announced));
    size_t present = 0;
    while (present < available && !lines[5 + present].starts_with('*')) ++present;
    r.Present = static_cast<int32_t>(present);
    model.ReserveWires(present);

    const double lift = offset.Z - model.BaseHeight;
    const Vec3 centre{offset.X, offset.Y, 0};
    bool combined = false;
    for (int32_t i = 0; i < r.Present; ++i) {
        const TWireRecord rec = ReadWireLine(lines[5 + static_cast<size_t>(i)]);
        if (!Readable(rec.P1) || !Readable(rec.P2)) {
            // A coordinate of -2147483647 m would put the wire out of any sensible scene.
            ++r.Unreadable;
            continue;
        }
        Vec3 a{rec.P1.X + offset.X, rec.P1.Y + offset.Y, rec.P1.Z + lift};
        Vec3 b{rec.P2.X + offset.X, rec.P2.Y + offset.Y, rec.P2.Z + lift};
        if (turn != 0) RotatePair(a, b, 2, centre, 2, turn);
        // Rounded, and refused when the ends coincide or repeat a wire already there.
        TWire* w = model.NewWire(a, b, rec.Radius, tag);
        if (!w) {
            ++r.Skipped;
            continue;
        }
        w->Radius = rec.Radius == NoValue ? model.DefaultRadius : rec.Radius;
        w->Segments = rec.Segments;
        combined = combined || w->Radius < 0;
        ++r.Added;
    }
    if (combined) {
        const std::vector<std::string> taper = ReadTaperLines(lines);
        Uncombo(model, false, tag, &taper);
    }
    return true;
}

std::vector<std::string> DescribeForeignLoad(const std::string& what, const TForeignLoad& load) {
    std::vector<std::string> out;
    if (!load.Exists) {
        out.push_back(what + ": файл не найден");
        return out;
    }
    if (!load.Message.empty()) {
        out.push_back(what + ": " + load.Message);
        return out;
    }
    if (load.Truncated())
        out.push_back(what + ": в файле указано проводов " + std::to_string(load.Announced) + ", а строк проводов " +
                      std::to_string(load.Present) + "; загружено то, что есть");
    if (load.Skipped > 0)
        out.push_back(what + ": пропущено проводов нулевой длины или повторяющих другие провода: " +
                      std::to_string(load.Skipped));
    if (load.Unreadable > 0)
        out.push_back(what + ": пропущено проводов с нечитаемыми координатами: " + std::to_string(load.Unreadable));
    return out;
}

} // namespace velomast
