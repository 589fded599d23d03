// velomast-cli scene SCENE.scn OUT.maa: the export "Сохранить сцену в файл maa..." without
// the editor. The model named on line 2 of the scene file is read as the editor opens it,
// the landscape and the antennas are placed beside it, and OUT receives every wire, own
// and foreign, with the model's name, sources, loads and settings.
#include "commands.h"

#include "files/maa_writer.h"
#include "model/wire_list.h"
#include "scene/scene.h"

#include <ostream>

namespace velomast::cli {

int LoadSceneFile(TWireList& model, TScene& scene, const std::string& sceneFile, const std::string& modelFile,
                  std::ostream& err) {
    std::string modelPath = modelFile;
    std::string error;
    if (modelPath.empty()) {
        if (!TScene::ReadModelPath(sceneFile, &modelPath, &error)) {
            err << error << '\n';
            return ExitIo;
        }
        if (modelPath.empty()) {
            err << "В файле сцены " << sceneFile << " не указан файл модели (строка 2)\n";
            return ExitIo;
        }
    }
    if (const int status = ReadWholeModel(model, modelPath, err); status != ExitOk) return status;
    if (!scene.LoadScene(sceneFile, &error)) {
        err << error << '\n';
        return ExitIo;
    }
    for (const std::string& w : scene.Warnings) err << "Предупреждение: " << w << '\n';
    return ExitOk;
}

int RunScene(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
    if (args.size() != 2) {
        err << "Использование: velomast-cli scene SCENE.scn OUT.maa\n";
        return ExitUsage;
    }
    TWireList model;
    TScene scene(model);
    if (const int status = LoadSceneFile(model, scene, args[0], {}, err); status != ExitOk) return status;
    // Neither the scene file nor a model it places is written over.
    std::vector<std::string> inputs{args[0], model.FileName, scene.LandscapePath};
    for (const TAntenna& a : scene.Antennas) inputs.push_back(a.Path);
    if (OutputIsAnInput(args[1], inputs, err)) return ExitUsage;
    const TWriteResult w = WriteModel(model, args[1], true, {}, false);
    if (!w.Ok) {
        err << w.Message << '\n';
        return ExitIo;
    }
    for (const std::string& m : w.Warnings) err << "Предупреждение: " << m << '\n';
    return ExitOk;
}

} // namespace velomast::cli
