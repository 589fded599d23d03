// The program's settings: one ini file, every write goes to the file at once. Booleans
// are written as 1 and 0 and read leniently (any integer, 0 meaning false).
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>

namespace velomast {

class TSettingsFile {
public:
    explicit TSettingsFile(const QString& path);
    ~TSettingsFile();

    // "velomast.ini" beside the executable when that folder is writable (a portable
    // install), otherwise the same name in the user's configuration folder.
    static QString DefaultPath();

    const QString& Path() const { return Path_; }

    bool ReadBool(const QString& section, const QString& key, bool def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    bool HasKey(const QString& section, const QString& key) const;

    void WriteBool(const QString& section, const QString& key, bool value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteString(const QString& section, const QString& key, const QString& value);
    void EraseSection(const QString& section);

    // Recent files, most recent first: section MRU, keys File1, File2 ... in order.
    QStringList ReadRecentFiles() const;
    void WriteRecentFiles(const QStringList& files, int max);

private:
    QString Path_;
    std::unique_ptr<QSettings> Ini_;
};

} // namespace velomast
