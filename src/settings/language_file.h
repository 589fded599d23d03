// Language files: Windows-style ini files with one section per form class and keys
// name / name.Hint / Caption. Values are kept exactly as written (leading blanks, "&"
// accelerator marks, empty values); only the line end is taken off. Files are read as
// UTF-8 (with or without a byte-order mark) and, when the bytes are not valid UTF-8, as
// Windows-1251; they are always written as UTF-8.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace velomast {

class TLanguageFile {
public:
    using TEntry = std::pair<QString, QString>;

    // Replaces the contents by the file's; false (contents emptied) when it cannot be read.
    bool Load(const QString& path);
    // Writes the whole file; on failure `error` (when given) says why.
    bool Save(const QString& path, QString* error = nullptr) const;

    // The text form of the file and its parser.
    QString Format() const;
    void Parse(const QString& text);

    // Sections and keys compare without regard to case, as in Windows ini files.
    bool HasKey(const QString& section, const QString& key) const;
    QString Read(const QString& section, const QString& key, const QString& fallback = {}) const;
    // Replaces the key's value, or appends the key (and the section) in writing order.
    void Write(const QString& section, const QString& key, const QString& value);
    QStringList Sections() const;
    // The keys of a section in file order; empty when there is no such section.
    std::vector<TEntry> Entries(const QString& section) const;

    // UTF-8 (a byte-order mark is dropped) or, for bytes that are not UTF-8, Windows-1251.
    static QString Decode(const QByteArray& bytes);
    // Windows-1251 bytes as text.
    static QString DecodeWindows1251(const QByteArray& bytes);

private:
    struct TSection {
        QString Name;
        std::vector<TEntry> Entries;
    };
    const TSection* Find(const QString& section) const;
    std::vector<TSection> Sections_;
};

// The full path of the language file in use. At start it is "ru.lng" (no folder); the
// language commands set it to the language folder + "en.lng" or "ru.lng".
QString& LanguageFile();

// The folder the language files are read from: <executable's folder>/Language when that
// has them (the build tree), else the installed data folder's Language folder. When
// neither exists, the one beside the executable.
QString LanguageFolder();
// The folder a language file is exported into: always beside the executable.
QString LanguageExportFolder();
// A folder used in place of both (tests); empty restores the search.
void SetLanguageFolderOverride(const QString& folder);

} // namespace velomast
