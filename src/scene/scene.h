// The scene: further antennas and a landscape placed beside the antenna being edited, all
// of them wire models read from model files. Their wires live in the edited model's wire
// list, marked by their owner tag (-1 the landscape, k >= 1 the k-th antenna of the list),
// so that they are drawn with it but neither edited, undone nor saved with it.
//
// Every operation that removes foreign wires rebuilds the elements afterwards, so that no
// element keeps a wire that is gone.
#pragma once

#include "files/file_io.h"
#include "model/vec3.h"
#include "model/wire_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velomast {

struct TAntenna {
    // The file name without folder, as the list shows it.
    std::string Name;
    // Full path of the antenna's model file.
    std::string Path;
    // dX, dY in metres, and dZ, the height of the antenna's base above the ground.
    Vec3 Offset;
    // Degrees about the vertical, clockwise seen from above.
    double Turn = 0;
};

class TScene {
public:
    explicit TScene(TWireList& model) : Model(model) {}
    TScene(const TScene&) = delete;
    TScene& operator=(const TScene&) = delete;

    TWireList& Model;
    // In the order of their owner tags: entry i has the tag i + 1.
    std::vector<TAntenna> Antennas;
    // Full path of the landscape file; empty when there is none.
    std::string LandscapePath;
    // The scene file last loaded or saved.
    std::string SceneFileName;
    // Line 2 of the scene file last loaded: the model that was edited when it was saved.
    std::string ModelPath;
    // What the last operation could not do as asked, one sentence each (for the status
    // bar); emptied by every operation.
    std::vector<std::string> Warnings;

    // The name part of a path, after the last "/" or "\".
    static std::string NamePart(const std::string& path);

    // ---- landscape --------------------------------------------------------------------
    // Replaces the landscape by the file; false, changing nothing, when it does not exist.
    bool SetLandscape(const std::string& path);
    void DeleteLandscape();
    // Moves every landscape wire by -p, so that the point p of the landscape comes under
    // the origin of the edited antenna. Not kept in the scene file.
    void ShiftLandscape(const Vec3& p);

    // ---- antennas ---------------------------------------------------------------------
    // Appends an antenna at (0, 0, 0) without turn and loads its wires; its index, or -1
    // (nothing done) when an antenna of the same file name is listed already.
    int AddAntenna(const std::string& path);
    // New place and turn of antenna `index`; its wires are read again.
    void PlaceAntenna(size_t index, const Vec3& offset, double turn);
    // Removes antenna `index` with its wires; the later antennas' tags move down by one.
    void RemoveAntenna(size_t index);
    // No landscape, no antennas, no foreign wires. SceneFileName stays.
    void ClearScene();

    // ---- scene file ---------------------------------------------------------------------
    // False, with nothing changed, when the file does not exist or cannot be read (then
    // *error says why). Otherwise the scene is cleared and filled from the file, and its
    // landscape and antennas are loaded. Paths relative to the scene file's folder are
    // taken as such.
    bool LoadScene(const std::string& fileName, std::string* error = nullptr);
    // Writes SceneFileName. Refuses, writing nothing, a path that cannot be stored: an
    // antenna path with a comma (its numbers would be read from the wrong fields) or a
    // path with a line break.
    TFileResult SaveScene();
    // Line 2 of a scene file, the model it was saved with, as LoadScene would take it;
    // false (with *error) when the file cannot be read.
    static bool ReadModelPath(const std::string& fileName, std::string* modelPath, std::string* error = nullptr);
    // The lines SaveScene writes.
    std::vector<std::string> SceneFileLines() const;

private:
    // Loads a file with a tag and collects what it could not load.
    void Load(const std::string& what, const std::string& path, int32_t tag, double turn, const Vec3& offset);
    // Frees the wires of one tag; true when there were any.
    bool RemoveTag(int32_t tag);
    void Settle(bool removed);
};

} // namespace velomast
