#include "data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace velomast {

namespace {
QString ExecutableFolder() {
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return dir.isEmpty() ? QDir::currentPath() : dir;
}
QString InstalledDataFolder() { return QDir::cleanPath(ExecutableFolder() + QStringLiteral("/../share/velomast")); }
} // namespace

QStringList DataFolders() { return {ExecutableFolder(), InstalledDataFolder()}; }

QString DataFilePath(const QString& relative) {
    for (const QString& dir : DataFolders()) {
        const QString path = QDir(dir).filePath(relative);
        if (QFileInfo::exists(path)) return path;
    }
    return {};
}

bool RunsInstalled() { return QFileInfo(InstalledDataFolder()).isDir(); }

} // namespace velomast
