#include "maa_writer.h"

#include "maa_reader.h"
#include "model/number_format.h"
#include "model/vec3.h"
#include "text_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace velomast {

namespace {

// A line of the file must not break into two: line breaks inside a one-line text
// (a name typed with a line break, say) become blanks.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

void AppendInt(std::string& out, int64_t v) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

// FormatFileReal, with a fast path for multiples of 0.1 mm below 10^11 (every rounded
// coordinate): such a value is exactly the nearest double to n / 10^4 with n of at most
// 15 digits, so its 15-digit text is the decimal n / 10^4 itself.
void AppendFileReal(std::string& out, double x) {
    if (x == 0) {
        out += "0.0";
        return;
    }
    if (std::fabs(x) < 1e11) {
        const double scaled = std::nearbyint(x * 10000.0);
        if (scaled / 10000.0 == x) {
            int64_t n = static_cast<int64_t>(scaled);
            if (n < 0) {
                out += '-';
                n = -n;
            }
            AppendInt(out, n / 10000);
            int frac = static_cast<int>(n % 10000);
            out += '.';
            if (frac == 0) {
                out += '0';
                return;
            }
            char digits[4];
            for (int i = 3; i >= 0; --i, frac /= 10) digits[i] = static_cast<char>('0' + frac % 10);
            int len = 4;
            while (digits[len - 1] == '0') --len;
            out.append(digits, static_cast<size_t>(len));
            return;
        }
    }
    out += FormatFileReal(x);
}

} // namespace

std::string ModelWireLine(const TWire& w) {
    std::string s;
    s.reserve(80);
    const Vec3& a = w.P1();
    const Vec3& b = w.P2();
    for (double v : {a.X, a.Y, a.Z, b.X, b.Y, b.Z, w.Radius}) {
        AppendFileReal(s, v);
        s += ",\t";
    }
    AppendInt(s, w.Segments);
    return s;
}

namespace {

// A comment line that would read as a heading or the end of the comment ("* point",
// "see LinkedFiles") gets a blank in front, which the reader takes off again.
void AppendCommentLine(std::vector<std::string>& lines, std::string_view line) {
    if (CommentLineNeedsBlank(line))
        lines.push_back(' ' + std::string(line));
    else
        lines.emplace_back(line);
}

void AppendCommentLines(std::vector<std::string>& lines, std::string_view comment) {
    size_t start = 0;
    for (size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] != '\r' && comment[i] != '\n') continue;
        AppendCommentLine(lines, comment.substr(start, i - start));
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') ++i;
        start = i + 1;
    }
    AppendCommentLine(lines, comment.substr(start));
}

// The sources or loads that can be written: those on one of the first `written` wires.
std::vector<const TWObject*> Writable(const TWireList& list, const std::vector<std::unique_ptr<TWObject>>& objects,
                                      size_t written, const char* what, std::vector<std::string>* warnings) {
    std::vector<const TWObject*> out;
    out.reserve(objects.size());
    size_t dropped = 0;
    for (const auto& o : objects) {
        const TWire* w = o->Wire;
        if (w && w->OwnerList() == &list && list.IndexOf(w) < written)
            out.push_back(o.get());
        else
            ++dropped;
    }
    if (dropped && warnings)
        warnings->push_back(std::string(what) + " без провода не записаны в файл: " + std::to_string(dropped));
    return out;
}

} // namespace

std::vector<std::string> ModelFileLines(const TWireList& list, bool includeScene, std::vector<std::string>* warnings) {
    const size_t written = includeScene ? list.Count() : list.OwnCount();
    std::vector<std::string> lines;
    lines.reserve(written + list.Sources.size() + list.Loads.size() + list.TaperLines.size() + 24);

    lines.push_back(OneLine(list.ModelName));
    lines.emplace_back("*");
    lines.push_back(FormatFileFrequency(list.Frequency));
    lines.emplace_back("***Wires***");
    lines.push_back(std::to_string(written));
    // Own wires come first in the list, so the first `written` wires are the right ones.
    for (size_t i = 0; i < written; ++i) lines.push_back(ModelWireLine(*list[i]));

    const auto sources = Writable(list, list.Sources, written, "Источники", warnings);
    lines.emplace_back("***Source***");
    lines.push_back(std::to_string(sources.size()) + ",\t0");
    for (const TWObject* s : sources) {
        std::string l = s->WireRef();
        l += ",\t";
        AppendFileReal(l, s->Values[1]);
        l += ",\t";
        AppendFileReal(l, s->Values[0]);
        lines.push_back(std::move(l));
    }

    const auto loads = Writable(list, list.Loads, written, "Нагрузки", warnings);
    lines.emplace_back("***Load***");
    lines.push_back(std::to_string(loads.size()) + (loads.empty() ? ",\t0" : ",\t1"));
    for (const TWObject* o : loads) {
        std::string l = o->WireRef();
        // The reader takes the type and five parameters from fields 2 to 7, skipping none:
        // the two spare values may follow only when all five parameters are there, or they
        // would be read back as parameters (real files write two or three parameters).
        bool allParameters = true;
        for (size_t k = 1; k <= 5; ++k) allParameters = allParameters && o->Values[k] != NoValue;
        size_t count = allParameters ? o->Values.size() : 6;
        while (count > 1 && o->Values[count - 1] == NoValue) --count;
        // The type code is always written (an unreadable one as -2147483647), and a missing
        // parameter before a present one as 0 (an empty cell of the grid), so that every
        // value stays in its field; missing parameters at the end are left out.
        l += ",\t";
        AppendInt(l, RoundHalfEven(o->Values[0]));
        for (size_t k = 1; k < count; ++k) {
            l += ",\t";
            AppendFileReal(l, o->Values[k] == NoValue ? 0.0 : o->Values[k]);
        }
        lines.push_back(std::move(l));
    }

    lines.emplace_back("***Segmentation***");
    lines.push_back(OneLine(list.SegmentationLine));
    lines.emplace_back("***G/H/M/R/AzEl/X***");
    char settings[256];
    std::snprintf(settings, sizeof settings, "%d,\t%s,\t%d,\t%s,\t%d,\t%d,\t%s", list.GroundType,
                  FormatFixed1(list.BaseHeight).c_str(), list.Material, FormatFixed1(list.StdZR).c_str(),
                  list.FBAzimuth, list.FBElevation, FormatFixed1(list.StdZjX).c_str());
    lines.emplace_back(settings);

    if (!list.TaperLines.empty()) {
        lines.emplace_back("$$$ Taper wire set $$$");
        lines.push_back(std::to_string(list.TaperLines.size()));
        for (const std::string& t : list.TaperLines) lines.push_back(OneLine(t));
    }
    if (!list.Comment.empty() || !list.LinkedList.empty()) lines.emplace_back("### Comment ###");
    if (!list.Comment.empty()) AppendCommentLines(lines, list.Comment);
    if (list.StoreLinkedList && !list.LinkedList.empty()) {
        lines.emplace_back("");
        lines.emplace_back("***LinkedFiles***");
        for (const std::string& name : list.LinkedList) lines.push_back(OneLine(name));
    }
    return lines;
}

std::string EncodeModelText(const std::vector<std::string>& lines, TTextEncoding encoding, bool bom, bool* asUtf8) {
    if (asUtf8) *asUtf8 = false;
    size_t total = bom ? 3 : 0;
    for (const std::string& l : lines) total += l.size() + 2;
    // One buffer sized in advance, each line encoded straight into it (an ASCII line is
    // the same in both encodings).
    std::string out;
    out.reserve(total + 1);
    if (bom) out = "\xEF\xBB\xBF";
    bool utf8 = encoding != TTextEncoding::Cp1251;
    if (!utf8) {
        for (const std::string& l : lines) {
            if (IsAsciiText(l)) {
                out += l;
            } else if (!Utf8ToCp1251(l, out)) {
                // Dropping or replacing characters Windows-1251 lacks would lose the
                // user's text; UTF-8 keeps it.
                utf8 = true;
                if (asUtf8) *asUtf8 = true;
                out.resize(bom ? 3 : 0);
                break;
            }
            out += "\r\n";
        }
    }
    if (utf8) {
        for (const std::string& l : lines) {
            out += l;
            out += "\r\n";
        }
    }
    // Text that begins with the bytes of a byte order mark ("п»ї" in Windows-1251, U+FEFF)
    // would lose them to the next read; a blank before them keeps them (the reader trims
    // the name).
    if (!bom && out.starts_with("\xEF\xBB\xBF")) out.insert(out.begin(), ' ');
    return out;
}

TWriteResult WriteModel(TWireList& list, const std::string& fileName, bool includeScene, const TLogLocale& log,
                        bool syncLinkedFiles) {
    TWriteResult result;
    std::vector<std::string> lines = ModelFileLines(list, includeScene, &result.Warnings);
    bool asUtf8 = false;
    const std::string bytes = EncodeModelText(lines, list.Encoding, list.EncodingBom, &asUtf8);

    const TFileResult written = WriteFileReplacing(fileName, bytes);
    if (!written.Ok) {
        result.Ok = false;
        result.Message = written.Message;
        return result;
    }
    if (asUtf8)
        result.Warnings.push_back("Текст модели содержит символы, которых нет в кодировке Windows-1251; "
                                  "файл записан в кодировке UTF-8");

    list.FileLineCount = lines.size();
    list.FileLines = std::move(lines);
    if (!includeScene) {
        list.FileName = fileName;
        list.Modified = false;
        if (asUtf8) list.Encoding = TTextEncoding::Utf8;
        if (syncLinkedFiles) {
            for (const TSyncResult& s : SyncLinkedFiles(list))
                if (s.Status == TSyncStatus::Failed) result.LinkedFailures.push_back(s.Message);
        }
    }
    if (list.WriteLog) {
        const TFileResult l = WriteLogEntry(list, log);
        if (!l.Ok) result.Warnings.push_back(l.Message);
    }
    return result;
}

} // namespace velomast
