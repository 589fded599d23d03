#include "report/report_template.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <optional>

namespace velomast {

namespace {

constexpr double MaxPosition = 2000; // mm, any coordinate
constexpr double MaxPaperSide = 5000;

// Splits a head of a line into words; quotes keep blanks inside a value.
std::optional<std::vector<QString>> SplitWords(const QString& head) {
    std::vector<QString> words;
    QString word;
    bool quoted = false, any = false;
    for (const QChar ch : head) {
        if (ch == '"') {
            quoted = !quoted;
            any = true;
            continue;
        }
        if (!quoted && ch.isSpace()) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
            continue;
        }
        word += ch;
        any = true;
    }
    if (quoted) return std::nullopt;
    if (any) words.push_back(word);
    return words;
}

// The position of the first "|" outside quotes, or -1.
qsizetype BarPosition(const QString& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (!quoted && line[i] == '|') return i;
    }
    return -1;
}

std::optional<double> Number(const QString& text) {
    QString t = text;
    t.replace(',', '.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The memo lines of a text: "\n" breaks a line, "\\" is a backslash.
QStringList MemoLines(const QString& text) {
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == 'n') {
                lines.push_back(line);
                line.clear();
                ++i;
                continue;
            }
            if (text[i + 1] == '\\') {
                line += '\\';
                ++i;
                continue;
            }
        }
        line += text[i];
    }
    lines.push_back(line);
    return lines;
}

std::optional<QPageSize> PaperSize(const QString& name) {
    static const std::pair<const char*, QPageSize::PageSizeId> known[] = {
        {"A3", QPageSize::A3}, {"A4", QPageSize::A4},         {"A5", QPageSize::A5},
        {"B5", QPageSize::B5}, {"Letter", QPageSize::Letter}, {"Legal", QPageSize::Legal}};
    for (const auto& [n, id] : known)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return QPageSize(id);
    const qsizetype x = name.indexOf('x', 0, Qt::CaseInsensitive);
    if (x <= 0) return std::nullopt;
    const auto w = Number(name.left(x)), h = Number(name.mid(x + 1));
    if (!w || !h || *w < 10 || *h < 10 || *w > MaxPaperSide || *h > MaxPaperSide) return std::nullopt;
    return QPageSize(QSizeF(*w, *h), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

// The reader's state between lines: the object defaults set by "font".
struct TDefaults {
    QString Family = QStringLiteral("DejaVu Sans");
    double PointSize = 10;
    bool Bold = false;
    bool Italic = false;
};

// Applies the options of an object (or of "font" when `fontOnly`); an error text on failure.
QString ApplyOptions(const std::vector<QString>& words, size_t from, TReportObject& o, bool fontOnly) {
    for (size_t i = from; i < words.size(); ++i) {
        const QString& w = words[i];
        const qsizetype eq = w.indexOf('=');
        const QString key = eq < 0 ? w : w.left(eq);
        const QString value = eq < 0 ? QString() : w.mid(eq + 1);
        const bool flag = key == "bold" || key == "italic" || key == "underline";
        if (flag != (eq < 0)) return QStringLiteral("неверный параметр «%1»").arg(w);
        const bool fontKey = flag || key == "family" || key == "size";
        if (fontOnly && !fontKey) return QStringLiteral("неизвестный параметр «%1»").arg(key);
        if (key == "bold") {
            o.Bold = true;
        } else if (key == "italic") {
            o.Italic = true;
        } else if (key == "underline") {
            o.Underline = true;
        } else if (key == "family") {
            if (value.trimmed().isEmpty()) return QStringLiteral("пустое имя шрифта");
            o.Family = value;
        } else if (key == "size") {
            const auto v = Number(value);
            if (!v || *v < 1 || *v > 400) return QStringLiteral("неверный размер шрифта «%1»").arg(value);
            o.PointSize = *v;
        } else if (key == "align") {
            const Qt::Alignment v = o.Align & Qt::AlignVertical_Mask;
            if (value == "left") o.Align = v | Qt::AlignLeft;
            else if (value == "center") o.Align = v | Qt::AlignHCenter;
            else if (value == "right") o.Align = v | Qt::AlignRight;
            else if (value == "justify") o.Align = v | Qt::AlignJustify;
            else return QStringLiteral("неверное выравнивание «%1»").arg(value);
        } else if (key == "valign") {
            const Qt::Alignment h = o.Align & Qt::AlignHorizontal_Mask;
            if (value == "top") o.Align = h | Qt::AlignTop;
            else if (value == "center") o.Align = h | Qt::AlignVCenter;
            else if (value == "bottom") o.Align = h | Qt::AlignBottom;
            else return QStringLiteral("неверное выравнивание «%1»").arg(value);
        } else if ((key == "frame" && o.Kind != TReportObject::TKind::Line) ||
                   (key == "width" && o.Kind == TReportObject::TKind::Line)) {
            const auto v = Number(value);
            if (!v || *v < 0 || *v > 20) return QStringLiteral("неверная толщина линии «%1»").arg(value);
            o.FrameWidth = *v;
        } else if (key == "color") {
            const QColor c = QColor::fromString(value);
            if (!c.isValid()) return QStringLiteral("неверный цвет «%1»").arg(value);
            o.Colour = c;
        } else {
            return QStringLiteral("неизвестный параметр «%1»").arg(key);
        }
    }
    return {};
}

// Four numbers after the keyword; an error text on failure.
QString ReadFour(const std::vector<QString>& words, double (&v)[4]) {
    if (words.size() < 5) return QStringLiteral("нужны четыре числа после «%1»").arg(words[0]);
    for (int i = 0; i < 4; ++i) {
        const auto n = Number(words[1 + i]);
        if (!n) return QStringLiteral("неверное число «%1»").arg(words[1 + i]);
        if (std::fabs(*n) > MaxPosition) return QStringLiteral("число вне допустимых пределов: %1").arg(words[1 + i]);
        v[i] = *n;
    }
    return {};
}

// One line after the signature; an error text when it cannot be read.
QString ReadLine(const QString& line, int lineNo, TReportTemplate& t, TDefaults& d) {
    const qsizetype bar = BarPosition(line);
    const auto words = SplitWords(bar < 0 ? line : line.left(bar));
    if (!words) return QStringLiteral("незакрытые кавычки");
    if (words->empty()) return QStringLiteral("нет ключевого слова перед «|»");
    const QString& key = (*words)[0];

    if (key == "page") {
        if (words->size() < 2 || words->size() > 3 || bar >= 0) return QStringLiteral("ожидалось: page РАЗМЕР [portrait|landscape]");
        const auto size = PaperSize((*words)[1]);
        if (!size) return QStringLiteral("неизвестный размер бумаги «%1»").arg((*words)[1]);
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        if (words->size() == 3) {
            if ((*words)[2] == "landscape") orientation = QPageLayout::Landscape;
            else if ((*words)[2] != "portrait") return QStringLiteral("неизвестная ориентация «%1»").arg((*words)[2]);
        }
        t.PageSize = *size;
        t.Orientation = orientation;
        return {};
    }
    if (key == "margins") {
        double v[4];
        if (words->size() != 5 || bar >= 0) return QStringLiteral("ожидалось: margins ЛЕВОЕ ВЕРХНЕЕ ПРАВОЕ НИЖНЕЕ");
        if (QString e = ReadFour(*words, v); !e.isEmpty()) return e;
        for (double m : v)
            if (m < 0 || m > 500) return QStringLiteral("поле вне допустимых пределов: %1").arg(m);
        t.Margins = QMarginsF(v[0], v[1], v[2], v[3]);
        return {};
    }
    if (key == "font") {
        if (bar >= 0) return QStringLiteral("у строки font нет текста");
        // What the line does not name takes the built-in default.
        const TDefaults builtIn;
        TReportObject o;
        o.Family = builtIn.Family;
        o.PointSize = builtIn.PointSize;
        if (QString e = ApplyOptions(*words, 1, o, true); !e.isEmpty()) return e;
        d.Family = o.Family;
        d.PointSize = o.PointSize;
        d.Bold = o.Bold;
        d.Italic = o.Italic;
        return {};
    }
    if (key == "text" || key == "picture" || key == "line") {
        TReportObject o;
        o.SourceLine = lineNo;
        o.Family = d.Family;
        o.PointSize = d.PointSize;
        o.Bold = d.Bold;
        o.Italic = d.Italic;
        double v[4];
        if (QString e = ReadFour(*words, v); !e.isEmpty()) return e;
        if (key == "line") {
            if (bar >= 0) return QStringLiteral("у линии нет текста");
            o.Kind = TReportObject::TKind::Line;
            o.Line = QLineF(v[0], v[1], v[2], v[3]);
            o.FrameWidth = 0.3;
            for (size_t i = 5; i < words->size(); ++i)
                if (!(*words)[i].startsWith("width=") && !(*words)[i].startsWith("color="))
                    return QStringLiteral("неизвестный параметр линии «%1»").arg((*words)[i]);
        } else {
            if (bar < 0) return QStringLiteral("нет «|» перед текстом объекта");
            if (v[2] <= 0 || v[3] <= 0) return QStringLiteral("ширина и высота объекта должны быть больше нуля");
            o.Kind = key == "text" ? TReportObject::TKind::Text : TReportObject::TKind::Picture;
            o.Rect = QRectF(v[0], v[1], v[2], v[3]);
            o.Memo = MemoLines(line.mid(bar + 1).trimmed());
        }
        if (QString e = ApplyOptions(*words, 5, o, false); !e.isEmpty()) return e;
        t.Objects.push_back(std::move(o));
        return {};
    }
    if (key == "velomast-report") return QStringLiteral("повторная строка «velomast-report»");
    return QStringLiteral("неизвестное слово «%1»").arg(key);
}

} // namespace

QString TemplateNotesText(const std::vector<TTemplateNote>& notes) {
    if (notes.empty()) return {};
    QString text = QStringLiteral("Строка %1 шаблона отчёта пропущена: %2").arg(notes[0].Line).arg(notes[0].Text);
    if (notes.size() > 1) text += QStringLiteral(" (и ещё строк: %1)").arg(notes.size() - 1);
    return text;
}

TTemplateReadResult ParseReportTemplate(const QString& text, TReportTemplate& out) {
    TTemplateReadResult r;
    out = TReportTemplate();
    QString all = text;
    if (all.startsWith(QChar(0xFEFF))) all.remove(0, 1);
    if (all.contains(QChar(0))) {
        r.Status = TTemplateReadResult::TStatus::Unreadable;
        r.Message = QStringLiteral("это не текстовый файл");
        return r;
    }
    const QStringList lines = all.split('\n');
    bool signed_ = false;
    TDefaults defaults;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#')) continue;
        const int lineNo = static_cast<int>(i) + 1;
        if (!signed_) {
            const auto words = SplitWords(trimmed);
            if (!words || words->size() != 2 || (*words)[0] != "velomast-report") {
                r.Status = TTemplateReadResult::TStatus::Unreadable;
                r.Message = QStringLiteral("в начале нет строки «velomast-report 1»");
                return r;
            }
            if ((*words)[1] != "1") {
                r.Status = TTemplateReadResult::TStatus::Unreadable;
                r.Message = QStringLiteral("неизвестная версия шаблона %1").arg((*words)[1]);
                return r;
            }
            signed_ = true;
            continue;
        }
        if (QString e = ReadLine(trimmed, lineNo, out, defaults); !e.isEmpty()) r.Notes.push_back({lineNo, e});
    }
    if (!signed_) {
        r.Status = TTemplateReadResult::TStatus::Unreadable;
        r.Message = QStringLiteral("в начале нет строки «velomast-report 1»");
    }
    return r;
}

TTemplateReadResult ReadReportTemplate(const QString& fileName, TReportTemplate& out) {
    TTemplateReadResult r;
    out = TReportTemplate();
    const QFileInfo info(fileName);
    auto fail = [&](TTemplateReadResult::TStatus status, const QString& message) {
        r.Status = status;
        r.Message = message;
        return r;
    };
    if (!info.exists()) return fail(TTemplateReadResult::TStatus::Missing, QStringLiteral("Шаблон отчёта не найден: %1").arg(fileName));
    // A FIFO or a device would block the reading or never end.
    if (!info.isFile())
        return fail(TTemplateReadResult::TStatus::Unreadable,
                    QStringLiteral("Шаблон отчёта не прочитан: %1 — это не обычный файл").arg(fileName));
    if (info.size() > MaxTemplateBytes)
        return fail(TTemplateReadResult::TStatus::Unreadable,
                    QStringLiteral("Шаблон отчёта не прочитан: %1 — слишком большой файл").arg(fileName));
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return fail(TTemplateReadResult::TStatus::Unreadable,
                    QStringLiteral("Шаблон отчёта не прочитан: %1 — %2").arg(fileName, f.errorString()));
    const QByteArray bytes = f.read(MaxTemplateBytes + 1);
    if (bytes.size() > MaxTemplateBytes)
        return fail(TTemplateReadResult::TStatus::Unreadable,
                    QStringLiteral("Шаблон отчёта не прочитан: %1 — слишком большой файл").arg(fileName));
    r = ParseReportTemplate(QString::fromUtf8(bytes), out);
    if (r.Status != TTemplateReadResult::TStatus::Ok)
        r.Message = QStringLiteral("Шаблон отчёта не прочитан: %1 — %2").arg(fileName, r.Message);
    return r;
}

} // namespace velomast
