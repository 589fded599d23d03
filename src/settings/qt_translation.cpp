#include "qt_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace velomast {

bool UseQtTranslation(const QString& language) {
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (language != QLatin1String("ru") || !QCoreApplication::instance()) return false;
    auto t = std::make_unique<QTranslator>();
    const QString name = QStringLiteral("qtbase_") + language;
    // Qt's own folder first, then one beside the program (a relocated installation).
    const QString dirs[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString& dir : dirs) {
        if (t->load(name, dir)) {
            QCoreApplication::installTranslator(t.get());
            installed = std::move(t);
            return true;
        }
    }
    return false; // quietly English
}

} // namespace velomast
