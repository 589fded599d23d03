// A generated scene for the benchmarks: `antennas` antenna files of `perAntenna` wires each,
// side by side, a landscape of `landscape` wires and a small edited antenna, with the scene
// file naming them, in a fresh temporary folder removed at the end.
#pragma once

#include "model_gen.h"

#include "files/maa_writer.h"
#include "files/text_codec.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace velomast::bench {

struct TSceneFiles {
    std::filesystem::path Dir;
    std::string SceneFile;
    std::string ModelFile;

    TSceneFiles(int antennas, int perAntenna, int landscape) {
        std::random_device rd;
        Dir = std::filesystem::temp_directory_path() / ("velomast-scene-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(Dir);
        ModelFile = Write("main.maa", 12);
        std::vector<std::string> lines = {Write("land.lnd", landscape), ModelFile};
        for (int i = 0; i < antennas; ++i) {
            const std::string name = Write("ant" + std::to_string(i) + ".maa", perAntenna);
            // Side by side along Y, well apart, each turned a little.
            lines.push_back(name + ",0," + std::to_string(200 * (i + 1)) + ",10," + std::to_string(i * 7 % 180));
        }
        SceneFile = (Dir / "scene.scn").string();
        std::ofstream(SceneFile, std::ios::binary) << JoinLinesCrLf(lines);
    }
    ~TSceneFiles() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    TSceneFiles(const TSceneFiles&) = delete;
    TSceneFiles& operator=(const TSceneFiles&) = delete;

private:
    std::string Write(const std::string& name, int wires) {
        TWireList m;
        MakeLoopField(m, wires);
        const std::string path = (Dir / name).string();
        WriteModel(m, path, false, {}, false);
        return path;
    }
};

} // namespace velomast::bench
