#include "maa_reader.h"

#include "file_io.h"
#include "model/text_parse.h"
#include "text_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace velomast {

namespace {

std::string_view TrimView(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

std::string LineNo(size_t index) { return "Строка " + std::to_string(index + 1); }

// A trimmed field as a real with "." as mark, as TextToFloat reads it. The usual field
// (digits, one ".", an exponent, no "+" in front) goes straight to from_chars, which then
// reads the same text TextToFloat would hand it.
// from_chars is tried first: a field it reads whole to a finite number is such a usual
// field, and anything else is told apart only then.
std::optional<double> FieldReal(std::string_view f) {
    if (f.empty() || f[0] == '+') return TextToFloat(f, '.');
    double v = 0;
    const auto res = std::from_chars(f.data(), f.data() + f.size(), v);
    if (res.ec == std::errc() && res.ptr == f.data() + f.size() && std::isfinite(v)) return v;
    const bool plain = std::all_of(f.begin(), f.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    });
    if (!plain) return TextToFloat(f, '.');
    return std::nullopt;
}

// Everything the section walk keeps between lines.
// The lines come one at a time, as UTF-8 (see LineAsUtf8), and are not kept.
struct Walk {
    Walk(TWireList& list, TReadResult& result, size_t lineCount, std::string frequencyLine, bool convert)
        : List(list), Result(result), LineCount(lineCount), FrequencyLine(std::move(frequencyLine)),
          Convert(convert) {}

    TWireList& List;
    TReadResult& Result;
    size_t LineCount;
    // The third line of the file, where the frequency stands.
    std::string FrequencyLine;
    bool Convert;
    // Where the file's lines are read, just past the line in hand.
    const TLineScanner* Scanner = nullptr;

    int Section = 0;
    // -1: the count line has not been read yet.
    int32_t WiresPending = -1;
    int32_t SourcesPending = -1;
    int32_t LoadsPending = -1;
    int32_t WireCount = 0;
    int32_t WireLinesRead = 0;
    int32_t TaperPending = 0;
    size_t TaperCountLine = 0;
    bool Stopped = false;
    size_t MoreWarnings = 0;
    // Wires with coinciding or repeated ends, in file order, warned about after the walk.
    std::vector<std::string> OddWires;

    // A file of thousands of repeated wires gives a readable list, not thousands of lines.
    void Warn(std::string text) {
        if (Result.Warnings.size() < kMaxWarnings)
            Result.Warnings.push_back(std::move(text));
        else
            ++MoreWarnings;
    }
    static constexpr size_t kMaxWarnings = 50;

    void Line(size_t i, std::string_view line);
    // The line after the one in hand.
    std::string NextLine() const;
    void WireCountLine(size_t i, std::string_view line);
    void WireLine(std::string_view line);
    void ObjectCountLine(int32_t& pending, std::string_view line);
    void ObjectLine(uint8_t kind, int32_t& pending, std::string_view line);
    void SettingsLine(std::string_view line);
    void WarnOddWires();
};

std::string Walk::NextLine() const {
    TLineScanner ahead = *Scanner;
    std::string_view raw;
    if (!ahead.Next(raw)) return {};
    std::string scratch;
    return std::string(LineAsUtf8(raw, Convert, scratch));
}

void Walk::Line(size_t i, std::string_view line) {
    if (line.empty()) return;
    if (line[0] == '*') {
        ++Section;
        return;
    }
    switch (Section) {
    case 0: break; // the name is line 0; anything else before the first separator is ignored
    case 1: List.SetFrequency(ParseRealAnyMark(FrequencyLine)); break;
    case 2:
        if (WiresPending < 0)
            WireCountLine(i, line);
        else if (WiresPending > 0)
            WireLine(line);
        break;
    case 3:
        if (SourcesPending < 0)
            ObjectCountLine(SourcesPending, line);
        else
            ObjectLine(KindSource, SourcesPending, line);
        break;
    case 4:
        if (LoadsPending < 0)
            ObjectCountLine(LoadsPending, line);
        else
            ObjectLine(KindLoad, LoadsPending, line);
        break;
    case 5: List.SegmentationLine = std::string(line); break;
    case 6:
        SettingsLine(line);
        Section = 7;
        break;
    case 7:
        if (Contains(line, "###")) {
            Section = 8;
        } else if (Contains(line, "$$$")) {
            TaperCountLine = i + 1;
            TaperPending = TaperCountLine < LineCount ? StrToIntDef(Trim(NextLine()), 0) : 0;
        } else if (TaperPending > 0 && i != TaperCountLine && line.size() > 10) {
            List.TaperLines.emplace_back(line);
            --TaperPending;
        }
        break;
    case 8:
        // A line the writer set off with a blank (see CommentLineNeedsBlank) is comment
        // text without that blank.
        if (line[0] == ' ' && CommentLineNeedsBlank(line.substr(1))) {
            List.Comment += "\r\n";
            List.Comment += line.substr(1);
        } else if (Contains(line, "LinkedFiles")) {
            Section = 9;
        } else {
            List.Comment += "\r\n";
            List.Comment += line;
        }
        break;
    case 9:
        if (HasExtension(line, ".maa")) List.LinkedList.emplace_back(line);
        break;
    default: break;
    }
}

void Walk::WireCountLine(size_t i, std::string_view line) {
    bool moreFields = false;
    WiresPending = ReadWireCount(line, &moreFields);
    if (moreFields)
        Warn(LineNo(i) + ": после числа проводов стоят другие поля; они пропущены "
                         "и при записи не сохранятся");
    if (WiresPending > 0) {
        WireCount = WiresPending;
        // The count may be anything; room for what the rest of the file can hold.
        List.ReserveWires(std::min<size_t>(static_cast<size_t>(WiresPending), LineCount - i));
    }
}

void Walk::WireLine(std::string_view line) {
    const TWireRecord rec = ReadWireLine(line);
    // Coordinates too large to round stay as they are rather than become infinite.
    auto rounded = [](const Vec3& v) {
        auto r = [](double x) {
            const double y = Round4(x);
            return std::isfinite(y) ? y : x;
        };
        return Vec3{r(v.X), r(v.Y), r(v.Z)};
    };
    const Vec3 p1 = rounded(rec.P1);
    const Vec3 p2 = rounded(rec.P2);
    // A wire whose ends coincide or repeat another wire's is kept as the file has it, so
    // that the wire numbers of the sources and loads stay right and nothing is lost
    // (WarnOddWires names them).
    // The end-pair index finds a repeated wire as it comes in; the earliest wire with
    // these ends is the one it repeats.
    // Past the warnings a list shows, the odd wires are only counted.
    const bool shown = OddWires.size() < kMaxWarnings;
    if (VecEqual(p1, p2)) {
        if (!shown)
            ++MoreWarnings;
        else
            OddWires.push_back("Провод " + std::to_string(List.OwnCount() + 1) + ": начало и конец совпадают");
    } else if (const TWire* first = List.FindWireByEnds(p1, p2)) {
        if (!shown)
            ++MoreWarnings;
        else
            OddWires.push_back("Провод " + std::to_string(List.OwnCount() + 1) + " повторяет провод " +
                               std::to_string(first->Number()));
    }
    TWire* w = List.NewWireAssigned(p1, p2, 0);
    w->Radius = rec.Radius;
    w->Segments = rec.Segments;
    --WiresPending;
    ++WireLinesRead;
}

void Walk::WarnOddWires() {
    for (std::string& text : OddWires) Warn(std::move(text));
    OddWires.clear();
}

void Walk::ObjectCountLine(int32_t& pending, std::string_view line) {
    const size_t comma = line.find(',');
    pending = comma == std::string_view::npos ? 0 : StrToIntDef(line.substr(0, comma), 0);
}

void Walk::ObjectLine(uint8_t kind, int32_t& pending, std::string_view line) {
    if (pending <= 0 || line[0] != 'w') return;
    int32_t missing = 0;
    if (!List.NewObjectFromText(kind, line, &missing)) {
        Stopped = true;
        Result.Status = TReadStatus::WireNotFound;
        Result.MissingWire = missing;
        Result.Message = "Провод " + std::to_string(missing) + " не найден";
        return;
    }
    pending = std::max(1, pending - 1);
}

void Walk::SettingsLine(std::string_view line) {
    const std::vector<std::string> f = SplitFields(line);
    auto field = [&](size_t n) -> std::string_view { return n <= f.size() ? std::string_view(f[n - 1]) : ""; };
    List.GroundType = StrToIntDef(field(1), List.GroundType);
    List.BaseHeight = ParseWordReal(line, 2);
    List.Material = StrToIntDef(field(3), 0);
    List.StdZR = ParseWordReal(line, 4);
    List.FBAzimuth = StrToIntDef(field(5), List.FBAzimuth);
    List.FBElevation = StrToIntDef(field(6), List.FBElevation);
    List.StdZjX = ParseWordReal(line, 7);
}

// The state every read ends in: the loaded state is undo step 1 and the file's settings
// are remembered for the change log.
void Settle(TWireList& list, bool withHistory) {
    list.LoadedHeight = list.BaseHeight;
    list.LoadedGround = list.GroundType;
    list.LoadedStdZR = list.StdZR;
    list.LoadedFrequency = list.Frequency;
    list.ClearHistory();
    // Nothing looks wires up by their ends until the first edit.
    list.ReleaseEndTable();
    if (withHistory) {
        list.StoreUndoStep(true);
    } else {
        // The same model, elements and view without the first snapshot.
        list.RebuildElements();
        list.FitScale();
    }
    if (list.OwnCount() > 0) list.SelectWire(list[0], true);
    list.Modified = false;
}

} // namespace

int32_t ReadWireCount(std::string_view line, bool* moreFields) {
    if (moreFields) *moreFields = false;
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) return StrToIntDef(line, 0);
    if (moreFields) *moreFields = !SplitFields(line.substr(comma)).empty();
    return StrToIntDef(TrimView(line.substr(0, comma)), 0);
}

TWireRecord ReadWireLine(std::string_view line) {
    // One pass: each field from its first to its last character above a blank, up to the
    // next comma; empty fields are skipped.
    std::array<std::string_view, 8> f;
    size_t count = 0;
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
        while (p < end && static_cast<unsigned char>(*p) <= ' ' && *p != ',') ++p;
        const char* b = p;
        const char* last = p; // one past the last character above a blank
        while (p < end && *p != ',') {
            if (static_cast<unsigned char>(*p) > ' ') last = p + 1;
            ++p;
        }
        if (last > b) {
            f[count++] = std::string_view(b, static_cast<size_t>(last - b));
            if (count == f.size()) break;
        }
        if (p == end) break;
        ++p; // the comma
    }
    // A field holds no comma, so reading it with "." as the mark is the same as turning
    // every "." into "," and reading with ",".
    auto real = [&](size_t n) {
        if (n >= count) return NoValue;
        const std::optional<double> v = FieldReal(f[n]);
        return v ? *v : NoValue;
    };
    TWireRecord r;
    r.P1 = {real(0), real(1), real(2)};
    r.P2 = {real(3), real(4), real(5)};
    r.Radius = real(6);
    r.Segments = count >= 8 ? StrToIntDef(f[7], -2) : -2;
    return r;
}

namespace {
// `ownedBytes`, when given, holds `bytes` and is released as soon as the sections are read.
TReadResult ReadFrom(TWireList& list, std::string_view bytes, const std::string& fileName, bool withHistory,
                     TFileBuffer* ownedBytes) {
    TReadResult result;
    // Text in UTF-16 or UTF-32 or binary data would read as a name full of strange
    // characters and no wires; the model stays as it was.
    if (const std::string why = NotTextReason(bytes); !why.empty()) {
        result.Status = TReadStatus::NotAModel;
        result.Message = std::string(NotAModelMessage) + ": " + why;
        return result;
    }
    // The lines are read straight from the file's bytes: only a Windows-1251 line that
    // holds a byte of 0x80 or above is converted, one at a time, and no copy of the file
    // stays with the model (the backup copies the file itself).
    const TTextForm form = TextFormOf(bytes);
    const std::string_view text = form.Bom ? bytes.substr(3) : bytes;
    const size_t lineCount = CountLines(text);

    list.Clear(false);
    list.FileName = fileName;
    list.FileLines.clear();
    list.FileLineCount = lineCount;
    list.Encoding = form.Encoding;
    list.EncodingBom = form.Bom;

    TLineScanner scan(text);
    std::string scratch;
    std::string_view raw;
    list.ModelName = scan.Next(raw) ? Trim(LineAsUtf8(raw, form.Convert, scratch)) : std::string();

    result.LongFile = lineCount > 10;
    if (result.LongFile) {
        std::string frequencyLine;
        {
            TLineScanner ahead = scan;
            if (ahead.Next(raw) && ahead.Next(raw)) frequencyLine = LineAsUtf8(raw, form.Convert, scratch);
        }
        Walk walk{list, result, lineCount, std::move(frequencyLine), form.Convert};
        walk.Scanner = &scan;
        for (size_t i = 1; i < lineCount && !walk.Stopped && scan.Next(raw); ++i) {
            walk.Line(i, LineAsUtf8(raw, form.Convert, scratch));
            // The lines read so far are not looked at again: their bytes go while the
            // wires grow, so the file and the model are not held whole at once.
            if (ownedBytes && (i & 0xFFF) == 0) ownedBytes->ReleaseBefore(raw.data());
        }
        walk.WarnOddWires();
        if (walk.MoreWarnings) result.Warnings.push_back("И ещё предупреждений: " + std::to_string(walk.MoreWarnings));
        if (walk.Section < 2) {
            result.NoModel = true;
            result.Message = std::string(NotAModelMessage) + ": в нём нет разделов, разделённых строками \"*\"";
            result.Warnings.push_back(result.Message);
        }
        const std::string counts = "указано проводов: " + std::to_string(walk.WireCount) +
                                   ", строк проводов: " + std::to_string(walk.WireLinesRead);
        if (walk.Section == 2) {
            // The file ends among the wires: what follows them is lost, and the last wire
            // line may be cut too.
            result.Truncated = true;
            result.Warnings.push_back(
                "Файл обрывается в разделе проводов: за ним нет источников, нагрузок и установок" +
                (walk.WiresPending > 0 ? "; " + counts : std::string()));
        } else if (!walk.Stopped && walk.WiresPending > 0) {
            result.Truncated = true;
            result.Warnings.push_back("В файле " + counts);
        }
    } else {
        result.NoModel = true;
        result.Message = "В файле не больше 10 строк: модели в нём нет";
        result.Warnings.push_back(result.Message);
    }

    // The file's bytes go before the elements and the first snapshot are built.
    std::string().swap(scratch);
    if (ownedBytes) ownedBytes->Release();

    if (result.Status == TReadStatus::WireNotFound) {
        // Keep what was read, but detached from the file so a save cannot overwrite the
        // complete original with this part of it.
        list.FileName.clear();
    }
    Settle(list, withHistory);
    return result;
}
} // namespace

TReadResult ReadModelBytes(TWireList& list, std::string_view bytes, const std::string& fileName) {
    return ReadFrom(list, bytes, fileName, true, nullptr);
}

TReadResult ReadModel(TWireList& list, const std::string& fileName, bool withHistory) {
    TReadResult result;
    TFileContent file = ReadFileContent(fileName);
    if (file.Status != TFileReadStatus::Ok) {
        result.Status = file.Status == TFileReadStatus::Missing ? TReadStatus::FileMissing : TReadStatus::CannotRead;
        result.Message = std::move(file.Message);
        return result;
    }
    return ReadFrom(list, file.Bytes.View(), fileName, withHistory, &file.Bytes);
}

bool CommentLineNeedsBlank(std::string_view line) {
    const size_t first = line.find_first_not_of(' ');
    return (first != std::string_view::npos && line[first] == '*') || Contains(line, "LinkedFiles");
}

std::vector<std::string> ReadTaperLines(const std::vector<std::string>& lines) {
    // The same walk as the reader's: sections counted by separator lines, the set after
    // the settings line, up to the comment.
    std::vector<std::string> out;
    int section = 0;
    int32_t pending = 0;
    size_t countLine = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) continue;
        if (line[0] == '*') {
            if (++section > 7) break;
            continue;
        }
        if (section == 6) {
            section = 7;
            continue;
        }
        if (section != 7) continue;
        if (Contains(line, "###")) break;
        if (Contains(line, "$$$")) {
            countLine = i + 1;
            pending = countLine < lines.size() ? StrToIntDef(Trim(lines[countLine]), 0) : 0;
        } else if (pending > 0 && i != countLine && line.size() > 10) {
            out.push_back(line);
            --pending;
        }
    }
    return out;
}

bool IsUnsupportedModelFile(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string ext = fileName.substr(fileName.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".gaa";
}

} // namespace velomast
