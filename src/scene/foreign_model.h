// Loading the wires of another model file into the model being edited, placed on the
// scene: the wires of scene antennas and of the landscape. Only the wire section of that
// file is read; its name, sources, loads and settings are not.
#pragma once

#include "model/vec3.h"
#include "model/wire_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velomast {

// What loading one file brought in, and what it left out.
struct TForeignLoad {
    bool Exists = false;
    // At least 5 lines with "*" as line 2; other files give no wires and no complaint.
    bool IsModel = false;
    // Why an existing file could not be read; empty otherwise.
    std::string Message;
    // The wire count of line 5, and the wire lines the file really holds of them.
    int32_t Announced = 0;
    int32_t Present = 0;
    // Wires placed in the model (combined wires count once, before decomposition).
    int32_t Added = 0;
    // Left out: a wire whose ends coincide or repeat a wire already in the model.
    int32_t Skipped = 0;
    // Left out: a wire with a coordinate that is not a number.
    int32_t Unreadable = 0;

    bool Truncated() const { return Present < Announced; }
};

// Reads the wires of the model file `path` into `model` with the owner tag `tag`:
// X and Y shifted by the offset, Z by offset.Z - BaseHeight (dZ is the height of the
// antenna's base above the ground), then turned by `turn` degrees clockwise, seen from
// above, about the vertical through (offset.X, offset.Y), and rounded to 0.1 mm. Combined
// wires are decomposed after the combined-wire lines of their own file. The elements are
// not rebuilt. Returns false only when the file does not exist.
bool LoadForeignModel(TWireList& model, const std::string& path, int32_t tag, double turn, const Vec3& offset,
                      TForeignLoad* report = nullptr);

// The sentences a user is told about a load that did not bring in everything; `what` names
// the file ("Антенна yagi.maa"). Empty when all went well.
std::vector<std::string> DescribeForeignLoad(const std::string& what, const TForeignLoad& load);

} // namespace velomast
