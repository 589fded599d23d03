#include "scene.h"

#include "files/text_codec.h"
#include "foreign_model.h"
#include "model/number_format.h"
#include "model/text_parse.h"
#include "model/wire_commands.h"

#include <filesystem>
#include <optional>

namespace velomast {

namespace fs = std::filesystem;

namespace {

bool IsAbsolutePath(const std::string& path) {
    // A Windows path ("C:\Ant\yagi.maa", "\\server\share") counts as absolute too: it is
    // kept as the file has it.
    return path.starts_with('/') || path.starts_with('\\') || (path.size() >= 2 && path[1] == ':');
}

// A relative path names a file beside the scene file, when there is one there.
std::string Resolve(const std::string& path, const std::string& sceneFile) {
    if (path.empty() || IsAbsolutePath(path)) return path;
    std::error_code ec;
    const fs::path near = fs::path(sceneFile).parent_path() / fs::path(path);
    if (!FileExists(near.string())) return path;
    const fs::path full = fs::absolute(near, ec);
    return (ec ? near : full).lexically_normal().string();
}

// "%g" with 15 significant digits and "." as decimal mark, whatever the locale.
std::string SceneNumber(double x) { return FloatToStrGeneral(x, 15, '.'); }

// An antenna line: the path up to the first comma, then dX, dY, dZ and the turn. A
// number that is missing or not a number is taken as 0 and reported.
struct TAntennaLine {
    TAntenna Antenna;
    bool NumbersRead = true;
};

TAntennaLine ParseAntennaLine(const std::string& line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.emplace_back(std::string_view(line).substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    TAntennaLine out;
    out.Antenna.Path = std::string(fields[0]);
    double values[4] = {0, 0, 0, 0};
    for (size_t k = 0; k < 4; ++k) {
        const std::optional<double> v = k + 1 < fields.size() ? TextToFloat(fields[k + 1], '.') : std::nullopt;
        if (v)
            values[k] = *v;
        else
            out.NumbersRead = false;
    }
    out.Antenna.Offset = {values[0], values[1], values[2]};
    out.Antenna.Turn = values[3];
    return out;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

} // namespace

std::string TScene::NamePart(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void TScene::Load(const std::string& what, const std::string& path, int32_t tag, double turn, const Vec3& offset) {
    TForeignLoad r;
    LoadForeignModel(Model, path, tag, turn, offset, &r);
    for (std::string& w : DescribeForeignLoad(what, r)) Warnings.push_back(std::move(w));
}

bool TScene::RemoveTag(int32_t tag) {
    if (Model.CountByTag(tag) == 0) return false;
    Model.RemoveWiresByTag(tag);
    return true;
}

void TScene::Settle(bool removed) {
    if (removed) Model.RebuildElements();
}

// ---- landscape --------------------------------------------------------------------------

bool TScene::SetLandscape(const std::string& path) {
    Warnings.clear();
    if (!FileExists(path)) return false;
    const bool removed = RemoveTag(-1);
    LandscapePath = path;
    Load("Ландшафт " + NamePart(path), path, -1, 0, {});
    Settle(removed);
    return true;
}

void TScene::DeleteLandscape() {
    Warnings.clear();
    const bool removed = RemoveTag(-1);
    LandscapePath.clear();
    Settle(removed);
}

void TScene::ShiftLandscape(const Vec3& p) {
    Warnings.clear();
    std::vector<TWire*> landscape;
    for (TWire* w : Model)
        if (w->OwnerTag() == -1) landscape.push_back(w);
    if (landscape.empty()) return;
    // All at once: one by one, a wire would be refused the place a neighbour is leaving.
    MoveWires(Model, landscape, VecScale(p, -1));
    Model.RebuildElements();
}

// ---- antennas ---------------------------------------------------------------------------

int TScene::AddAntenna(const std::string& path) {
    Warnings.clear();
    const std::string name = NamePart(path);
    for (const TAntenna& a : Antennas)
        if (a.Name == name) return -1;
    Antennas.push_back({name, path, {}, 0});
    const int index = static_cast<int>(Antennas.size()) - 1;
    Load("Антенна " + name, path, index + 1, 0, {});
    return index;
}

void TScene::PlaceAntenna(size_t index, const Vec3& offset, double turn) {
    Warnings.clear();
    if (index >= Antennas.size()) return;
    TAntenna& a = Antennas[index];
    a.Offset = offset;
    a.Turn = turn;
    const int32_t tag = static_cast<int32_t>(index) + 1;
    const bool removed = RemoveTag(tag);
    if (!a.Path.empty()) Load("Антенна " + a.Name, a.Path, tag, a.Turn, a.Offset);
    Settle(removed);
}

void TScene::RemoveAntenna(size_t index) {
    Warnings.clear();
    if (index >= Antennas.size()) return;
    const bool removed = RemoveTag(static_cast<int32_t>(index) + 1);
    Antennas.erase(Antennas.begin() + static_cast<std::ptrdiff_t>(index));
    // Tags stay equal to list positions.
    for (size_t k = index; k < Antennas.size(); ++k)
        Model.RetagForeign(static_cast<int32_t>(k) + 2, static_cast<int32_t>(k) + 1);
    Settle(removed);
}

void TScene::ClearScene() {
    Warnings.clear();
    LandscapePath.clear();
    std::vector<TWire*> foreign;
    for (size_t i = Model.OwnCount(); i < Model.Count(); ++i) foreign.push_back(Model[i]);
    Model.DestroyWires(foreign);
    Antennas.clear();
    Settle(!foreign.empty());
}

// ---- scene file -------------------------------------------------------------------------

namespace {
bool ReadSceneFile(const std::string& fileName, TTextFile& file, std::string* error) {
    file = ReadTextFileLines(fileName);
    if (file.Status == TFileReadStatus::Ok) return true;
    if (error) *error = file.Status == TFileReadStatus::Missing ? "Файл " + fileName + " не найден." : file.Message;
    return false;
}
} // namespace

bool TScene::ReadModelPath(const std::string& fileName, std::string* modelPath, std::string* error) {
    TTextFile file;
    if (!ReadSceneFile(fileName, file, error)) return false;
    if (modelPath) *modelPath = file.Lines.size() > 1 ? Resolve(file.Lines[1], fileName) : std::string();
    return true;
}

bool TScene::LoadScene(const std::string& fileName, std::string* error) {
    TTextFile file;
    if (!ReadSceneFile(fileName, file, error)) return false;
    ClearScene();
    SceneFileName = fileName;
    const std::vector<std::string>& lines = file.Lines;
    ModelPath = lines.size() > 1 ? Resolve(lines[1], fileName) : std::string();
    if (!lines.empty() && !lines[0].empty()) {
        LandscapePath = Resolve(lines[0], fileName);
        Load("Ландшафт " + NamePart(LandscapePath), LandscapePath, -1, 0, {});
    }
    for (size_t i = 2; i < lines.size(); ++i) {
        TAntennaLine parsed = ParseAntennaLine(lines[i]);
        if (!parsed.NumbersRead)
            Warnings.push_back("Файл сцены, строка " + std::to_string(i + 1) +
                               ": положение или поворот антенны не прочитаны, вместо них взят 0");
        TAntenna& a = parsed.Antenna;
        a.Path = Resolve(a.Path, fileName);
        a.Name = NamePart(a.Path);
        Antennas.push_back(a);
        if (!a.Path.empty())
            Load("Антенна " + a.Name, a.Path, static_cast<int32_t>(Antennas.size()), a.Turn, a.Offset);
    }
    return true;
}

std::vector<std::string> TScene::SceneFileLines() const {
    std::vector<std::string> lines;
    lines.reserve(Antennas.size() + 2);
    lines.push_back(LandscapePath);
    lines.push_back(Model.FileName);
    for (const TAntenna& a : Antennas)
        lines.push_back(a.Path + "," + SceneNumber(a.Offset.X) + "," + SceneNumber(a.Offset.Y) + "," +
                        SceneNumber(a.Offset.Z) + "," + SceneNumber(a.Turn));
    return lines;
}

TFileResult TScene::SaveScene() {
    Warnings.clear();
    if (SceneFileName.empty()) return TFileResult::Failure("Не задано имя файла сцены.");
    for (const TAntenna& a : Antennas) {
        if (a.Path.find(',') != std::string::npos)
            return TFileResult::Failure("Путь к файлу антенны содержит запятую, а в файле сцены запятая отделяет "
                                        "числа от пути, поэтому сцену нельзя сохранить: " +
                                        a.Path + ". Переименуйте файл или папку.");
        if (HasLineBreak(a.Path))
            return TFileResult::Failure("Путь к файлу антенны содержит перевод строки, сцену нельзя сохранить: " +
                                        a.Path);
    }
    if (HasLineBreak(LandscapePath) || HasLineBreak(Model.FileName))
        return TFileResult::Failure("Путь к файлу ландшафта или модели содержит перевод строки, сцену нельзя "
                                    "сохранить.");
    // UTF-8, so that every path is kept as it is.
    return WriteFileReplacing(SceneFileName, JoinLinesCrLf(SceneFileLines()));
}

} // namespace velomast
