#include "settings_file.h"

#include "data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velomast {

namespace {
QString KeyPath(const QString& section, const QString& key) { return section + '/' + key; }
} // namespace

TSettingsFile::TSettingsFile(const QString& path) : Path_(path), Ini_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

TSettingsFile::~TSettingsFile() = default;

QString TSettingsFile::DefaultPath() {
    const QString exe = QCoreApplication::applicationFilePath();
    const QFileInfo exeInfo(exe);
    const QString name = (exeInfo.completeBaseName().isEmpty() ? QStringLiteral("velomast") : exeInfo.completeBaseName()) +
                         QStringLiteral(".ini");
    const QString dir = exeInfo.absolutePath();
    const QFileInfo dirInfo(dir);
    // Beside the executable only for a program run where it was built or unpacked, never
    // for an installed one (even when the user, say root, could write its folder).
    if (!dir.isEmpty() && dirInfo.isDir() && dirInfo.isWritable() && !RunsInstalled()) return QDir(dir).filePath(name);
    // ~/.config/velomast/ (the organisation and application names are both "velomast",
    // so the application's own location would nest the folder twice).
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    config = config.isEmpty() ? QDir::homePath() + QStringLiteral("/.config/velomast")
                              : QDir(config).filePath(QStringLiteral("velomast"));
    QDir().mkpath(config);
    return QDir(config).filePath(name);
}

bool TSettingsFile::ReadBool(const QString& section, const QString& key, bool def) const {
    const QVariant v = Ini_->value(KeyPath(section, key));
    if (!v.isValid()) return def;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n != 0 : def;
}

int TSettingsFile::ReadInteger(const QString& section, const QString& key, int def) const {
    const QVariant v = Ini_->value(KeyPath(section, key));
    if (!v.isValid()) return def;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : def;
}

QString TSettingsFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const QVariant v = Ini_->value(KeyPath(section, key));
    return v.isValid() ? v.toString() : def;
}

bool TSettingsFile::HasKey(const QString& section, const QString& key) const {
    return Ini_->contains(KeyPath(section, key));
}

void TSettingsFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

void TSettingsFile::WriteInteger(const QString& section, const QString& key, int value) {
    Ini_->setValue(KeyPath(section, key), QString::number(value));
    Ini_->sync();
}

void TSettingsFile::WriteString(const QString& section, const QString& key, const QString& value) {
    Ini_->setValue(KeyPath(section, key), value);
    Ini_->sync();
}

void TSettingsFile::EraseSection(const QString& section) {
    Ini_->remove(section);
    Ini_->sync();
}

QStringList TSettingsFile::ReadRecentFiles() const {
    // Keys are File1, File2, ... so the order survives; paths hold "/" which an ini key
    // of this format cannot carry.
    QStringList files;
    for (int i = 1; i <= 100; ++i) {
        const QVariant v = Ini_->value(QStringLiteral("MRU/File%1").arg(i));
        if (!v.isValid()) break;
        const QString path = v.toString();
        if (!path.trimmed().isEmpty()) files << path;
    }
    return files;
}

void TSettingsFile::WriteRecentFiles(const QStringList& files, int max) {
    Ini_->remove(QStringLiteral("MRU"));
    for (int i = 0; i < files.size() && i < max; ++i)
        Ini_->setValue(QStringLiteral("MRU/File%1").arg(i + 1), files[i]);
    Ini_->sync();
}

} // namespace velomast
