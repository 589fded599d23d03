#include "nec_deck.h"

#include "model/text_parse.h"
#include "model/wire_commands.h"
#include "model/wire_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace velomast {

namespace {

std::string Num(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.10g", x == 0 ? 0.0 : x);
    return buf;
}

void Card(std::string& out, const std::string& text) {
    out += text;
    out += '\n';
}

// nec2c reads a card into a short line buffer and takes the rest of a longer line for the
// next card ("INCORRECT LABEL FOR A COMMENT CARD"), so a comment line is cut into cards of
// at most 80 bytes: after a space where there is one, never inside a UTF-8 character.
constexpr size_t CommentCardBytes = 80 - 3;

void CommentCards(std::string& out, const std::string& line) {
    size_t start = 0;
    do {
        size_t end = line.size();
        if (end - start > CommentCardBytes) {
            end = start + CommentCardBytes;
            while (end > start && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
            const size_t space = line.rfind(' ', end - 1);
            if (space != std::string::npos && space > start) end = space + 1;
            if (end == start) end = start + CommentCardBytes; // no character boundary at all
        }
        std::string part = line.substr(start, end - start);
        while (!part.empty() && part.back() == ' ' && end < line.size()) part.pop_back();
        Card(out, "CM " + part);
        start = end;
    } while (start < line.size());
}

// Conductivity of the material, S/m; 0 for lossless or a kind the deck cannot give.
double MaterialSigma(int material) {
    switch (material) {
    case 1:
    case 2: return 5.8e7;
    case 3:
    case 4: return 3.7e7;
    case 5:
    case 6: return 1.0e7;
    default: return 0;
    }
}

// 0 when no source or load sits at the wire's centre, 1 when all that do sit exactly
// there, 2 when one of them is moved off the centre segment (SegNo other than 0).
int CentreObjects(const TWireList& model, const TWire& wire) {
    int kind = 0;
    for (const auto* list : {&model.Sources, &model.Loads})
        for (const auto& o : *list)
            if (o->Wire == &wire && o->Position == PosCentre) kind = std::max(kind, o->SegNo == 0 ? 1 : 2);
    return kind;
}

bool Present(double v) { return v != NoValue && v != 0 && std::isfinite(v); }

} // namespace

double SegmentsPerWavelength(const TWireList& model) {
    const double dm2 = ParseWordReal(model.SegmentationLine, 2);
    return dm2 != NoValue && dm2 >= 1 && dm2 <= 100000 ? dm2 : 80;
}

int NecSegmentCount(const TWireList& model, const TWire& wire, double length) {
    if (wire.Segments > 0) return wire.Segments;
    if (wire.Segments == 0) return 1;
    const double maxLen = model.Wavelength / SegmentsPerWavelength(model);
    double n = std::ceil(length / maxLen - 1e-9);
    if (!std::isfinite(n) || n < 1) n = 1;
    if (n > 100000) n = 100000;
    int count = static_cast<int>(n);
    if (const int centre = CentreObjects(model, wire)) {
        // Three segments keep a feed point off the wire's ends, but not at the price of
        // segments under lambda/1000: a short wire fed exactly at its centre keeps its single
        // segment, whose middle is the centre already.
        if (count < 3 && (centre == 2 || length / 3 >= model.Wavelength / 1000)) count = 3;
        if (count % 2 == 0) ++count;
    }
    return count;
}

int NecSegmentOf(int position, int segNo, int segments) {
    switch (position) {
    case PosBegin: return 1 + segNo;
    case PosEnd: return segments - segNo; // counted back from the end
    default: return (segments + 1) / 2 + segNo;
    }
}

TNecDeck WriteNecDeck(const TWireList& model, const TNecDeckOptions& options) {
    TNecDeck deck;
    std::string& t = deck.Text;
    const size_t own = model.OwnCount();

    // Combined wires are split in a scratch copy, as the decomposition command does: the
    // wire keeps its number for its first section, the other sections follow the own wires.
    TWireList scratch;
    scratch.TaperLines = model.TaperLines;
    scratch.SegmentationLine = model.SegmentationLine;
    scratch.SetFrequency(model.Frequency);
    scratch.ReserveWires(own);
    bool combined = false;
    for (size_t i = 0; i < own; ++i) {
        const TWire* w = model[i];
        TWire* c = scratch.NewWireAssigned(w->P1(), w->P2());
        c->Radius = w->Radius;
        c->Segments = w->Segments;
        combined |= w->Radius < 0;
    }
    if (combined) Uncombo(scratch, false, 0);

    // Name and comment.
    CommentCards(t, model.ModelName.empty() ? std::string("Velomast") : model.ModelName);
    std::string line;
    for (char ch : model.Comment) {
        if (ch == '\r') continue;
        if (ch == '\n') {
            CommentCards(t, line);
            line.clear();
        } else {
            line += ch;
        }
    }
    if (!line.empty()) CommentCards(t, line);
    Card(t, "CE");

    const bool ground = model.GroundType == 1 || model.GroundType == 2;
    const double dz = ground ? model.BaseHeight : 0;
    std::vector<int> segmentsOf(scratch.Count() + 1, 0);
    int isolators = 0;
    for (size_t i = 0; i < scratch.Count(); ++i) {
        const TWire* w = scratch[i];
        if (w->Radius == 0) {
            ++isolators;
            continue;
        }
        if (w->Radius < 0) {
            deck.Notes.push_back("Комбинированный провод " + std::to_string(i + 1) +
                                 " без описания в списке комбинированных проводов пропущен");
            continue;
        }
        // A section keeps the number of the wire it came from for the segment rule.
        const TWire& rule = i < own ? *model[i] : *w;
        TNecWire g;
        g.Tag = static_cast<int>(i + 1);
        g.WireNumber = static_cast<int>(i < own ? i + 1 : 0);
        g.X1 = w->P1().X, g.Y1 = w->P1().Y, g.Z1 = w->P1().Z + dz;
        g.X2 = w->P2().X, g.Y2 = w->P2().Y, g.Z2 = w->P2().Z + dz;
        g.Radius = w->Radius;
        g.Segments = i < own ? NecSegmentCount(model, rule, w->WireLength()) : NecSegmentCount(scratch, *w, w->WireLength());
        segmentsOf[i + 1] = g.Segments;
        deck.Segments += g.Segments;
        Card(t, "GW " + std::to_string(g.Tag) + ' ' + std::to_string(g.Segments) + ' ' + Num(g.X1) + ' ' + Num(g.Y1) +
                    ' ' + Num(g.Z1) + ' ' + Num(g.X2) + ' ' + Num(g.Y2) + ' ' + Num(g.Z2) + ' ' + Num(g.Radius));
        deck.Wires.push_back(g);
    }
    if (isolators > 0)
        deck.Notes.push_back("Изоляторов не включено в расчёт: " + std::to_string(isolators));
    Card(t, ground ? "GE 1" : "GE 0");
    if (model.GroundType == 1) Card(t, "GN 1");
    if (model.GroundType == 2) Card(t, "GN 2 0 0 0 " + Num(options.GroundEr) + ' ' + Num(options.GroundSigma));

    // A source or load sits on an own wire; its segment must exist on the conductor.
    auto placeOf = [&](const TWObject& o, int* tag, int* seg) {
        if (!o.Wire || o.Wire->OwnerList() != &model || !o.Wire->IsOwn()) return false;
        const size_t idx = model.IndexOf(o.Wire);
        const int n = segmentsOf[idx + 1];
        if (n <= 0) return false;
        *tag = static_cast<int>(idx + 1);
        *seg = NecSegmentOf(o.Position, o.SegNo, n);
        return *seg >= 1 && *seg <= n;
    };

    for (const auto& s : model.Sources) {
        int tag = 0, seg = 0;
        if (!placeOf(*s, &tag, &seg)) {
            deck.Notes.push_back("Источник " + s->WireRef() + " не на проводнике или вне его сегментов: пропущен");
            continue;
        }
        const double v = s->Values[0] == NoValue ? 1 : s->Values[0];
        const double ph = s->Values[1] == NoValue ? 0 : s->Values[1] * DegToRad;
        Card(t, "EX 0 " + std::to_string(tag) + ' ' + std::to_string(seg) + " 0 " + Num(v * std::cos(ph)) + ' ' +
                    Num(v * std::sin(ph)));
    }

    for (const auto& l : model.Loads) {
        int tag = 0, seg = 0;
        if (!placeOf(*l, &tag, &seg)) {
            deck.Notes.push_back("Нагрузка " + l->WireRef() + " не на проводнике или вне его сегментов: пропущена");
            continue;
        }
        const std::string at = ' ' + std::to_string(tag) + ' ' + std::to_string(seg) + ' ' + std::to_string(seg) + ' ';
        const int type = static_cast<int>(l->Values[0]);
        if (type == LoadRjX) {
            const double r = Present(l->Values[1]) ? l->Values[1] : 0;
            const double x = Present(l->Values[2]) ? l->Values[2] : 0;
            Card(t, "LD 4" + at + Num(r) + ' ' + Num(x));
        } else if (type == LoadLC) {
            // L in microhenry, C in picofarad.
            const double lh = Present(l->Values[1]) && l->Values[1] > 0 ? l->Values[1] * 1e-6 : 0;
            const double cf = Present(l->Values[2]) && l->Values[2] > 0 ? l->Values[2] * 1e-12 : 0;
            const double q = Present(l->Values[3]) && l->Values[3] > 0 ? l->Values[3] : 0;
            const double f = (Present(l->Values[4]) && l->Values[4] > 0 ? l->Values[4] : model.Frequency) * 1e6;
            const double xl = 2 * M_PI * f * lh;
            if (lh > 0 && cf > 0) {
                // A parallel trap; the coil's series loss wL/Q becomes its parallel equivalent Q*wL.
                Card(t, "LD 1" + at + Num(q > 0 ? xl * q : 0) + ' ' + Num(lh) + ' ' + Num(cf));
            } else if (lh > 0 || cf > 0) {
                Card(t, "LD 0" + at + Num(q > 0 && lh > 0 ? xl / q : 0) + ' ' + Num(lh) + ' ' + Num(cf));
            } else {
                deck.Notes.push_back("Нагрузка " + l->WireRef() + " без L и C: пропущена");
            }
        } else {
            deck.Notes.push_back("Нагрузка " + l->WireRef() + " типа S не поддерживается NEC-2: пропущена");
        }
    }

    const double sigma = MaterialSigma(model.Material);
    if (sigma > 0)
        Card(t, "LD 5 0 0 0 " + Num(sigma));
    else if (model.Material >= 7)
        deck.Notes.push_back("Пользовательский материал не передаётся в NEC-2: провода без потерь");

    if (options.Sweep && options.SweepSteps >= 2 && options.SweepTo > options.SweepFrom && options.SweepFrom > 0) {
        const double step = (options.SweepTo - options.SweepFrom) / (options.SweepSteps - 1);
        Card(t, "FR 0 " + std::to_string(options.SweepSteps) + " 0 0 " + Num(options.SweepFrom) + ' ' + Num(step));
    } else {
        Card(t, "FR 0 1 0 0 " + Num(model.Frequency) + " 0");
    }
    Card(t, "RP 0 37 72 1000 0 0 5 5");
    Card(t, "EN");
    return deck;
}

} // namespace velomast
