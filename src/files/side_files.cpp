#include "side_files.h"

#include "maa_reader.h"
#include "maa_writer.h"
#include "model/number_format.h"
#include "text_codec.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

namespace velomast {

namespace fs = std::filesystem;

std::string TLogLocale::Now() const {
    if (Timestamp) return Timestamp();
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char buf[64];
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tm);
    return buf;
}

std::string BackupFileName(const std::string& modelFileName) { return ChangeFileExt(modelFileName, ".~maa"); }

TFileResult WriteBackup(const TWireList& list) {
    if (list.FileName.empty()) return {};
    // The model keeps no copy of the file's lines; the file, just opened, is copied with
    // its line ends made CR LF (the same bytes its lines would encode to).
    const TFileBytes file = ReadFileBytes(list.FileName);
    if (file.Status != TFileReadStatus::Ok) return TFileResult::Failure(file.Message);
    return WriteFileReplacing(BackupFileName(list.FileName), WithCrLfLineEnds(file.Bytes));
}

std::string LogFileName(const std::string& modelFileName) { return ChangeFileExt(modelFileName, ".log"); }

TFileResult WriteLogEntry(const TWireList& list, const TLogLocale& locale) {
    if (list.FileName.empty()) return {};
    const std::string name = LogFileName(list.FileName);
    TTextFile log = ReadTextFileLines(name);
    if (log.Status == TFileReadStatus::Failed) return TFileResult::Failure(log.Message);
    if (log.Status == TFileReadStatus::Missing) {
        log.Encoding = list.Encoding;
        log.Bom = list.EncodingBom;
    }

    const size_t before = log.Lines.size();
    const std::string stamp = locale.Now() + ": ";
    auto real = [&](double x) { return FloatToStrGeneral(x, 15, locale.DecimalMark); };
    if (list.Frequency != list.LoadedFrequency) log.Lines.push_back(stamp + "Ц. частота " + real(list.Frequency) + "MHz");
    if (list.BaseHeight != list.LoadedHeight) log.Lines.push_back(stamp + "Высота " + real(list.BaseHeight) + "м.");
    if (list.GroundType != list.LoadedGround)
        log.Lines.push_back(stamp + "Тип земли " + std::to_string(list.GroundType));
    if (list.StdZR != list.LoadedStdZR) log.Lines.push_back("R = " + real(list.StdZR) + " Ом.");

    if (log.Lines.size() == before) return {};
    return WriteFileReplacing(name, EncodeModelText(log.Lines, log.Encoding, log.Bom));
}

std::string ResolveLinkedFile(const TWireList& list, const std::string& name) {
    // A name with a drive or an absolute path is taken as it is; any other name lies in
    // the model's folder.
    std::string local = name;
    fs::path path(local);
    if (name.find(':') == std::string::npos && !path.is_absolute()) {
        for (char& c : local)
            if (c == '\\') c = '/';
        path = fs::path(list.FileName).parent_path() / fs::path(local);
    }
    return path.string();
}

std::vector<TSyncResult> SyncLinkedFiles(const TWireList& list) {
    std::vector<TSyncResult> results;
    std::vector<fs::path> done;
    std::error_code ec;
    if (!list.FileName.empty()) done.push_back(fs::weakly_canonical(fs::path(list.FileName), ec));
    for (const std::string& name : list.LinkedList) {
        // Same file, same key: "a/../b.maa", a symbolic link and the full path all collapse.
        const fs::path key = fs::weakly_canonical(fs::path(ResolveLinkedFile(list, name)), ec);
        if (std::find(done.begin(), done.end(), key) != done.end()) continue;
        done.push_back(key);
        results.push_back(SyncLinkedFile(list, name));
    }
    return results;
}

TSyncResult SyncLinkedFile(const TWireList& list, const std::string& name) {
    TSyncResult r;
    r.FileName = ResolveLinkedFile(list, name);
    const fs::path path(r.FileName);

    std::error_code ec;
    if (!fs::exists(path, ec)) return r;
    // The model's own file must not receive the scene's wires as its own.
    if (!list.FileName.empty() && fs::equivalent(path, fs::path(list.FileName), ec)) return r;

    const TFileBytes file = ReadFileBytes(r.FileName);
    if (file.Status == TFileReadStatus::Missing) return r;
    if (file.Status == TFileReadStatus::Failed) {
        r.Status = TSyncStatus::Failed;
        r.Message = file.Message;
        return r;
    }
    // Lines are kept as bytes: the wire lines are ASCII, and every other line of the file,
    // whatever its encoding, goes back unchanged.
    const std::vector<std::string_view> views = SplitLineViews(file.Bytes);
    std::vector<std::string> lines(views.begin(), views.end());
    // The layout the writer makes: name, "*", frequency, wire heading, wire count.
    if (lines.size() <= 4 || lines[1] != "*" || lines[3].empty() || lines[3][0] != '*') return r;

    // The count line, then as many wire lines as it announces (blank lines do not count),
    // never past the next heading.
    const int32_t count = ReadWireCount(lines[4]);
    size_t end = 5;
    for (int32_t left = count; left > 0 && end < lines.size(); ++end) {
        if (!lines[end].empty() && lines[end][0] == '*') break;
        if (!lines[end].empty()) --left;
    }

    std::vector<std::string> section;
    section.reserve(list.Count() + 1);
    section.push_back(std::to_string(list.Count()));
    for (const TWire* w : list) section.push_back(ModelWireLine(*w));
    lines.erase(lines.begin() + 4, lines.begin() + static_cast<std::ptrdiff_t>(end));
    lines.insert(lines.begin() + 4, section.begin(), section.end());

    const TFileResult written = WriteFileReplacing(r.FileName, JoinLinesCrLf(lines));
    if (!written.Ok) {
        r.Status = TSyncStatus::Failed;
        r.Message = written.Message;
        return r;
    }
    r.Status = TSyncStatus::Updated;
    return r;
}

} // namespace velomast
