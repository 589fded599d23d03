#include "language_file.h"

#include "data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace velomast {

namespace {

// Windows-1251, bytes 0x80..0xBF; 0xC0..0xFF are А..я in order.
const char16_t Cp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

QString FolderOverride;

} // namespace

QString TLanguageFile::DecodeWindows1251(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += QChar(b);
        else if (b < 0xC0) out += QChar(Cp1251High[b - 0x80]);
        else out += QChar(static_cast<char16_t>(0x0410 + (b - 0xC0)));
    }
    return out;
}

QString TLanguageFile::Decode(const QByteArray& bytes) {
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError()) return text;
    return DecodeWindows1251(data);
}

void TLanguageFile::Parse(const QString& text) {
    Sections_.clear();
    TSection* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';'))) continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            current = const_cast<TSection*>(Find(name));
            if (!current) {
                Sections_.push_back({name, {}});
                current = &Sections_.back();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || !current) continue;
        const QString key = line.left(eq).trimmed();
        if (key.isEmpty()) continue;
        // The value exactly as written: leading blanks are part of the text.
        const QString value = line.mid(eq + 1);
        bool replaced = false;
        for (auto& e : current->Entries)
            if (e.first.compare(key, Qt::CaseInsensitive) == 0) {
                e.second = value;
                replaced = true;
                break;
            }
        if (!replaced) current->Entries.emplace_back(key, value);
    }
}

QString TLanguageFile::Format() const {
    QString out;
    for (const TSection& s : Sections_) {
        if (!out.isEmpty()) out += QLatin1Char('\n');
        out += QLatin1Char('[') + s.Name + QStringLiteral("]\n");
        for (const auto& [key, value] : s.Entries) {
            // A line break cannot live in an ini value: it becomes a blank.
            QString v = value;
            v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            out += key + QLatin1Char('=') + v + QLatin1Char('\n');
        }
    }
    return out;
}

bool TLanguageFile::Load(const QString& path) {
    Sections_.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    Parse(Decode(f.readAll()));
    return true;
}

bool TLanguageFile::Save(const QString& path, QString* error) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    f.write(Format().toUtf8());
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

const TLanguageFile::TSection* TLanguageFile::Find(const QString& section) const {
    for (const TSection& s : Sections_)
        if (s.Name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

bool TLanguageFile::HasKey(const QString& section, const QString& key) const {
    const TSection* s = Find(section);
    if (!s) return false;
    for (const auto& e : s->Entries)
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString TLanguageFile::Read(const QString& section, const QString& key, const QString& fallback) const {
    const TSection* s = Find(section);
    if (!s) return fallback;
    for (const auto& e : s->Entries)
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) return e.second;
    return fallback;
}

void TLanguageFile::Write(const QString& section, const QString& key, const QString& value) {
    auto* s = const_cast<TSection*>(Find(section));
    if (!s) {
        Sections_.push_back({section, {}});
        s = &Sections_.back();
    }
    for (auto& e : s->Entries)
        if (e.first.compare(key, Qt::CaseInsensitive) == 0) {
            e.second = value;
            return;
        }
    s->Entries.emplace_back(key, value);
}

QStringList TLanguageFile::Sections() const {
    QStringList out;
    for (const TSection& s : Sections_) out << s.Name;
    return out;
}

std::vector<TLanguageFile::TEntry> TLanguageFile::Entries(const QString& section) const {
    const TSection* s = Find(section);
    return s ? s->Entries : std::vector<TEntry>{};
}

QString& LanguageFile() {
    static QString file = QStringLiteral("ru.lng");
    return file;
}

QString LanguageExportFolder() {
    if (!FolderOverride.isEmpty()) return FolderOverride;
    const QStringList folders = DataFolders();
    return QDir(folders.front()).filePath(QStringLiteral("Language"));
}

QString LanguageFolder() {
    if (!FolderOverride.isEmpty()) return FolderOverride;
    for (const QString& dir : DataFolders()) {
        const QString path = QDir(dir).filePath(QStringLiteral("Language"));
        if (QFileInfo(path).isDir()) return path;
    }
    return LanguageExportFolder();
}

void SetLanguageFolderOverride(const QString& folder) { FolderOverride = folder; }

} // namespace velomast
