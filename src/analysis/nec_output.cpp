#include "nec_output.h"

#include "model/wire_list.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace velomast {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        out.push_back(l);
        start = end + 1;
    }
    return out;
}

std::vector<double> Numbers(std::string_view line) {
    std::vector<double> v;
    std::string s(line);
    const char* p = s.c_str();
    while (*p) {
        char* end = nullptr;
        const double x = std::strtod(p, &end);
        if (end == p) {
            // Not a number: skip the word.
            while (*p && *p != ' ') ++p;
            while (*p == ' ') ++p;
            continue;
        }
        v.push_back(x);
        p = end;
        while (*p == ' ') ++p;
    }
    return v;
}

bool Blank(std::string_view l) { return l.find_first_not_of(" \t") == std::string_view::npos; }

double AngleDiff(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

struct TPatternPoint {
    double Elevation, Azimuth, Gain;
};

} // namespace

double SwrOf(double r, double x, double zr, double zx) {
    const std::complex<double> z(r, x), z0(zr, zx);
    const std::complex<double> den = z + std::conj(z0);
    if (std::abs(den) == 0) return 0;
    const double g = std::abs((z - z0) / den);
    if (!std::isfinite(g) || g >= 1) return 0; // 0: no finite SWR
    return (1 + g) / (1 - g);
}

TNecResult ReadNecOutput(std::string_view text, const TWireList& model) {
    TNecResult r;
    const auto lines = Lines(text);
    std::vector<TPatternPoint> pattern;
    bool haveFrequency = false, haveInput = false;
    // First segment of each tag, from the structure table: sources are reported by their
    // absolute segment number.
    std::map<int, int> firstOfTag;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string_view l = lines[i];
        if (l.find("SEG FIRST  LAST  TAG") != std::string_view::npos) {
            for (size_t j = i + 2; j < lines.size() && !Blank(lines[j]); ++j) {
                const auto n = Numbers(lines[j]);
                if (n.size() < 12) break;
                const int tag = static_cast<int>(n[11]);
                if (!firstOfTag.count(tag)) firstOfTag[tag] = static_cast<int>(n[9]);
            }
        } else if (l.find("TOTAL SEGMENTS USED:") != std::string_view::npos) {
            const auto n = Numbers(l.substr(l.find(':') + 1));
            if (!n.empty()) r.Segments = static_cast<int>(n[0]);
        } else if (l.find("FREQUENCY :") != std::string_view::npos || l.find("FREQUENCY=") != std::string_view::npos) {
            if (haveFrequency) break; // only the first frequency
            const auto n = Numbers(l.substr(l.find_first_of(":=") + 1));
            if (!n.empty()) r.Frequency = n[0];
            haveFrequency = true;
        } else if (l.find("ANTENNA INPUT PARAMETERS") != std::string_view::npos) {
            haveInput = true;
            size_t j = i + 1;
            while (j < lines.size() && (lines[j].find("TAG") != std::string_view::npos || lines[j].find("No:") != std::string_view::npos)) ++j;
            for (; j < lines.size() && !Blank(lines[j]); ++j) {
                const auto n = Numbers(lines[j]);
                if (n.size() < 8) continue;
                TNecSourceResult s;
                s.Wire = static_cast<int>(n[0]);
                s.Segment = static_cast<int>(n[1]);
                if (auto it = firstOfTag.find(s.Wire); it != firstOfTag.end()) s.Segment -= it->second - 1;
                s.R = n[6];
                s.X = n[7];
                s.Swr = SwrOf(s.R, s.X, model.StdZR, model.StdZjX);
                r.Sources.push_back(s);
            }
            i = j;
        } else if (l.find("RADIATION PATTERNS") != std::string_view::npos) {
            size_t j = i + 1;
            while (j < lines.size() && lines[j].find("DEGREES") == std::string_view::npos) ++j;
            for (++j; j < lines.size() && !Blank(lines[j]); ++j) {
                const auto n = Numbers(lines[j]);
                if (n.size() < 5) break;
                pattern.push_back({90 - n[0], n[1], n[4]});
            }
            i = j;
            break; // the first frequency's pattern ends the part we read
        }
    }
    if (!haveInput || r.Sources.empty()) {
        r.Error = "В выводе nec2c нет входных параметров антенны";
        // nec2c stops with its reason on the last lines.
        for (auto it = lines.rbegin(); it != lines.rend(); ++it)
            if (!Blank(*it) && it->find("RUN TIME") == std::string_view::npos) {
                r.Error = std::string(*it);
                const size_t a = r.Error.find_first_not_of(' ');
                r.Error = a == std::string::npos ? r.Error : r.Error.substr(a);
                break;
            }
        return r;
    }
    r.Ok = true;
    if (!pattern.empty()) {
        const TPatternPoint* best = &pattern[0];
        for (const auto& p : pattern)
            if (p.Gain > best->Gain) best = &p;
        r.MaxGainDbi = best->Gain;
        r.MaxGainElevation = best->Elevation;
        r.MaxGainAzimuth = best->Azimuth;
        // The back: the strongest direction within FBAzimuth/2 of the opposite azimuth and
        // FBElevation/2 of the maximum's elevation.
        const double backAz = best->Azimuth + 180;
        const double halfAz = model.FBAzimuth / 2.0, halfEl = model.FBElevation / 2.0;
        double back = -1e300;
        for (const auto& p : pattern) {
            if (p.Gain <= -999) continue;
            if (AngleDiff(p.Azimuth, backAz) <= halfAz + 1e-9 && std::fabs(p.Elevation - best->Elevation) <= halfEl + 1e-9)
                back = std::max(back, p.Gain);
        }
        if (back > -1e299) {
            r.HasFrontBack = true;
            r.FrontBackDb = best->Gain - back;
        }
    }
    return r;
}

std::vector<std::string> FormatNecResult(const TNecResult& r) {
    std::vector<std::string> out;
    char buf[256];
    if (!r.Ok) {
        out.push_back("Ошибка расчёта: " + r.Error);
        return out;
    }
    std::snprintf(buf, sizeof buf, "Частота: %.4f МГц", r.Frequency);
    out.push_back(buf);
    for (const auto& s : r.Sources) {
        if (s.Swr > 0)
            std::snprintf(buf, sizeof buf, "Источник на проводе %d, сегмент %d: Z = %.2f %c j%.2f Ом, КСВ %.2f", s.Wire,
                          s.Segment, s.R, s.X < 0 ? '-' : '+', std::fabs(s.X), s.Swr);
        else
            std::snprintf(buf, sizeof buf, "Источник на проводе %d, сегмент %d: Z = %.2f %c j%.2f Ом, КСВ бесконечен",
                          s.Wire, s.Segment, s.R, s.X < 0 ? '-' : '+', std::fabs(s.X));
        out.push_back(buf);
    }
    std::snprintf(buf, sizeof buf, "Усиление: %.2f дБи, угол места %.0f°, азимут %.0f°", r.MaxGainDbi, r.MaxGainElevation,
                  r.MaxGainAzimuth);
    out.push_back(buf);
    if (r.HasFrontBack) {
        std::snprintf(buf, sizeof buf, "Отношение вперёд/назад: %.2f дБ", r.FrontBackDb);
        out.push_back(buf);
    }
    out.push_back("Сегментов: " + std::to_string(r.Segments));
    return out;
}

} // namespace velomast
