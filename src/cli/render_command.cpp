// velomast-cli render FILE OUT.png [--view 0|1|2|3] [--size WxH] [--elevation E]
//   [--azimuth A] [--grid none|lines|dots] [--dimensions] [--no-direction] [--print]
//   [--scene SCENE.scn]
// Reads FILE as the editor opens it (with --scene, the scene's antennas and landscape are
// placed beside it, and FILE may be left out for the model the scene file names), fits and centres the view on the model as "По
// размерам антенны" does, draws it as the editor's view does and writes a PNG image.
// The defaults are the editor's at start-up without a settings file: the 3-D view, no
// grid, direction marks on, labels of 10 points, 800 x 460 pixels.
#include "commands.h"

#include "files/file_io.h"
#include "files/maa_reader.h"
#include "model/text_parse.h"
#include "model/wire_list.h"
#include "scene/scene.h"
#include "view/view_render.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

namespace velomast::cli {

namespace {

constexpr const char* RenderUsage =
    "Использование: velomast-cli render FILE OUT.png [--view 0|1|2|3] [--size WxH] [--elevation E] "
    "[--azimuth A] [--grid none|lines|dots] [--dimensions] [--no-direction] [--print] [--scene SCENE.scn]\n"
    "       velomast-cli render --scene SCENE.scn OUT.png [...]\n";

struct TParsed {
    std::string In;
    std::string Out;
    std::string Scene;
    TRenderOptions Options;
};

std::optional<double> ParseAngle(const std::string& text) {
    const double v = ParseRealAnyMark(text);
    if (v == NoValue || !std::isfinite(v) || std::fabs(v) > 1e9) return std::nullopt;
    return v;
}

bool ParseSize(const std::string& text, TRenderOptions& o) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    const int32_t w = StrToIntDef(std::string_view(text).substr(0, x), -1);
    const int32_t h = StrToIntDef(std::string_view(text).substr(x + 1), -1);
    if (w < 1 || h < 1 || w > MaxRenderSide || h > MaxRenderSide) return false;
    o.Width = w;
    o.Height = h;
    return true;
}

// Fills `p`; on a usage error writes the reason to err and returns false.
bool ParseArgs(const std::vector<std::string>& args, TParsed& p, std::ostream& err) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        if (name.size() < 3 || name.compare(0, 2, "--") != 0) {
            positional.push_back(name);
            continue;
        }
        std::optional<std::string> value;
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const bool flag = name == "--dimensions" || name == "--no-direction" || name == "--print";
        if (flag) {
            if (value) {
                err << "Параметр " << name << " не принимает значения\n";
                return false;
            }
            if (name == "--dimensions") p.Options.Dimensions = true;
            if (name == "--no-direction") p.Options.Direction = false;
            if (name == "--print") p.Options.Print = true;
            continue;
        }
        if (name != "--view" && name != "--size" && name != "--elevation" && name != "--azimuth" && name != "--grid" &&
            name != "--scene") {
            err << "Неизвестный параметр: " << name << '\n';
            return false;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                err << "Не указано значение параметра " << name << '\n';
                return false;
            }
            value = args[++i];
        }
        bool ok = true;
        if (name == "--view") {
            const int32_t v = StrToIntDef(*value, -1);
            ok = v >= 0 && v <= 3;
            p.Options.ViewKind = static_cast<uint8_t>(ok ? v : 0);
        } else if (name == "--size") {
            ok = ParseSize(*value, p.Options);
        } else if (name == "--scene") {
            ok = !value->empty();
            p.Scene = *value;
        } else if (name == "--elevation" || name == "--azimuth") {
            const std::optional<double> a = ParseAngle(*value);
            ok = a.has_value();
            if (ok) (name == "--elevation" ? p.Options.Elevation : p.Options.Azimuth) = *a;
        } else { // --grid
            ok = *value == "none" || *value == "lines" || *value == "dots";
            p.Options.GridMode = *value == "lines" ? 2 : *value == "dots" ? 1 : 0;
        }
        if (!ok) {
            err << "Неверное значение параметра " << name << ": " << *value << '\n';
            return false;
        }
    }
    // With a scene the model may be left out: the scene file names it.
    const bool sceneModel = !p.Scene.empty() && positional.size() == 1;
    if (positional.size() != 2 && !sceneModel) {
        err << RenderUsage;
        return false;
    }
    p.In = sceneModel ? std::string() : positional[0];
    p.Out = positional.back();
    return true;
}

// Qt's notes about the session (no runtime folder and the like) are no concern of the
// tool's user; errors still go through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

std::unique_ptr<QGuiApplication> EnsureGuiApplication() {
    if (QCoreApplication::instance()) return nullptr;
    qInstallMessageHandler(QuietQtMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "velomast-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int RunRender(const std::vector<std::string>& args, std::ostream& /*out*/, std::ostream& err) {
    TParsed p;
    if (!ParseArgs(args, p, err)) {
        if (args.empty()) err << RenderUsage;
        return ExitUsage;
    }

    if (OutputIsAnInput(p.Out, {p.In, p.Scene}, err)) return ExitUsage;
    TWireList model;
    TScene scene(model);
    if (p.Scene.empty()) {
        if (const int status = ReadWholeModel(model, p.In, err); status != ExitOk) return status;
    } else {
        if (const int status = LoadSceneFile(model, scene, p.Scene, p.In, err); status != ExitOk) return status;
        p.Options.FitScene = true;
        if (OutputIsAnInput(p.Out, {model.FileName}, err)) return ExitUsage;
    }

    const auto app = EnsureGuiApplication();
    const QImage image = RenderModel(model, p.Options);
    if (image.isNull()) {
        err << "Не удалось построить изображение\n";
        return ExitIo;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        err << "Не удалось построить изображение\n";
        return ExitIo;
    }
    const TFileResult w = WriteFileReplacing(p.Out, std::string_view(png.constData(), static_cast<size_t>(png.size())));
    if (!w.Ok) {
        err << w.Message << '\n';
        return ExitIo;
    }
    return ExitOk;
}

} // namespace velomast::cli
