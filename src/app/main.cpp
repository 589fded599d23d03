// The editor: one main window; a model file named on the command line is opened.
//
// --exit-after-paint (for the installation test): quits after the first picture of the
// view and prints where the data files were found. --export-language FILE writes the texts
// of every window into a language file.
#include "settings/data_files.h"
#include "settings/settings_file.h"
#include "ui/language_export.h"
#include "ui/tfm_velomast.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

int ExitAfterFirstPaint(velomast::TfmVelomast& window) {
    auto* poll = new QTimer(&window);
    int waited = 0;
    QObject::connect(poll, &QTimer::timeout, &window, [&window, poll, &waited] {
        waited += 50;
        const QImage& image = window.ViewBitmap();
        const bool painted = !image.isNull() && window.isVisible();
        if (!painted && waited < 20000) return;
        poll->stop();
        QTextStream out(stdout);
        auto where = [](const char* file) {
            const QString p = velomast::DataFilePath(QString::fromLatin1(file));
            return p.isEmpty() ? QStringLiteral("(not found)") : p;
        };
        out << "painted: " << (painted ? QStringLiteral("%1x%2").arg(image.width()).arg(image.height()) : "no") << '\n'
            << "language: " << where("Language/ru.lng") << '\n'
            << "template: " << where("test.frf") << '\n'
            << "readme: " << where("readme.txt") << '\n'
            << "settings: " << window.IniFile().Path() << '\n'
            << "title: " << window.windowTitle() << '\n';
        out.flush();
        QCoreApplication::exit(painted ? 0 : 1);
    });
    poll->start(50);
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("velomast");
    QApplication::setOrganizationName("velomast");
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/velomast.png")));
    QStringList args = QApplication::arguments().mid(1);
    const bool exitAfterPaint = args.removeAll(QStringLiteral("--exit-after-paint")) > 0;
    // --export-language FILE (for the developers): the built-in texts of every window.
    if (const qsizetype at = args.indexOf(QStringLiteral("--export-language")); at >= 0 && at + 1 < args.size()) {
        QString error;
        if (velomast::ExportAllForms(args.at(at + 1), &error)) return 0;
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    velomast::TMainWindowOptions options;
    options.Arguments = args;
    velomast::TfmVelomast window(options);
    window.show();
    return exitAfterPaint ? ExitAfterFirstPaint(window) : QApplication::exec();
}
