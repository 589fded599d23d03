// Placeholder entry point until the editor window exists: prints a summary of an example.
#include "model/wire_list.h"

#include <cstdio>

int main() {
    using namespace velomast;
    TWireList model;
    model.ModelName = "Dipole";
    model.NewWire({0, -2.5, 10}, {0, 2.5, 10}, -2);
    model.NewObjectFromText(KindSource, "w1c, 0.0, 1.0");
    model.StoreUndoStep(true);
    std::printf("%s: %zu wires, %zu sources, %zu elements, scale %.3f\n", model.ModelName.c_str(), model.Count(),
                model.Sources.size(), model.Elements.size(), model.ViewScale);
}
