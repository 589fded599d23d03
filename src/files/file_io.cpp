#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#ifdef __unix__
#include <unistd.h>
#endif

namespace velomast {

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

std::string ReadFailure(const std::string& fileName, int err) {
    return "Не удалось прочитать файл " + Quoted(fileName) + ": " + SystemErrorText(err) + ".";
}

std::string WriteFailure(const std::string& fileName, int err) {
    return "Не удалось записать файл " + Quoted(fileName) + ": " + SystemErrorText(err) + ".";
}

// A name for the temporary file, unlikely to meet another writer's.
std::string TempNameFor(const fs::path& target) {
    static std::mt19937_64 rng{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx~", static_cast<unsigned long long>(rng() & 0xFFFFFFFFFFFFULL));
    return target.string() + suffix;
}

} // namespace

std::string SystemErrorText(int err) {
    switch (err) {
    case EACCES:
    case EPERM: return "нет прав доступа";
    case ENOENT: return "файл или папка не найдены";
    case EISDIR: return "это папка, а не файл";
    case ENOTDIR: return "часть пути не является папкой";
    case ENOSPC: return "на диске нет места";
#ifdef EDQUOT
    case EDQUOT: return "превышена дисковая квота";
#endif
    case EROFS: return "файловая система доступна только для чтения";
    case ENAMETOOLONG: return "слишком длинное имя файла";
    case EIO: return "ошибка ввода-вывода";
    case EMFILE:
    case ENFILE: return "открыто слишком много файлов";
    case EFBIG: return "файл слишком велик";
    case EBUSY:
    case ETXTBSY: return "файл занят";
    default: return std::strerror(err);
    }
}

bool FileExists(const std::string& fileName) {
    std::error_code ec;
    return !fileName.empty() && fs::exists(fs::path(fileName), ec);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    fs::path p(fileName);
    p.replace_extension(ext);
    return p.string();
}

bool HasExtension(std::string_view fileName, std::string_view ext) {
    if (fileName.size() < ext.size() || fileName.substr(fileName.size() - ext.size()) != ext) return false;
    const std::string_view stem = fileName.substr(0, fileName.size() - ext.size());
    return !stem.empty() && stem.back() != '/' && stem.back() != '\\';
}

TFileBytes ReadFileBytes(const std::string& fileName) {
    TFileBytes r;
    std::error_code ec;
    const fs::path path(fileName);
    const fs::file_status st = fs::status(path, ec);
    if (fileName.empty() || st.type() == fs::file_type::not_found) {
        r.Status = TFileReadStatus::Missing;
        r.Message = "Файл " + fileName + " не найден.";
        return r;
    }
    if (ec) {
        r.Status = TFileReadStatus::Failed;
        r.Message = ReadFailure(fileName, ec.value());
        return r;
    }
    if (st.type() == fs::file_type::directory) {
        r.Status = TFileReadStatus::Failed;
        r.Message = ReadFailure(fileName, EISDIR);
        return r;
    }
    errno = 0;
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f) {
        r.Status = TFileReadStatus::Failed;
        r.Message = ReadFailure(fileName, errno ? errno : EIO);
        return r;
    }
    char buf[1 << 16];
    for (;;) {
        const size_t n = std::fread(buf, 1, sizeof buf, f.get());
        r.Bytes.append(buf, n);
        if (n < sizeof buf) break;
    }
    if (std::ferror(f.get())) {
        r.Status = TFileReadStatus::Failed;
        r.Message = ReadFailure(fileName, errno ? errno : EIO);
        r.Bytes.clear();
    }
    return r;
}

TTextFile ReadTextFileLines(const std::string& fileName) {
    TTextFile t;
    TFileBytes b = ReadFileBytes(fileName);
    t.Status = b.Status;
    t.Message = std::move(b.Message);
    if (b.Status != TFileReadStatus::Ok) return t;
    TDecodedText d = DecodeText(b.Bytes);
    t.Lines = SplitLines(d.Text);
    t.Encoding = d.Encoding;
    t.Bom = d.Bom;
    return t;
}

TFileResult WriteFileReplacing(const std::string& fileName, std::string_view bytes) {
    if (fileName.empty()) return TFileResult::Failure(WriteFailure(fileName, ENOENT));
    std::error_code ec;
    fs::path target(fileName);
    // Replace what a link points to, not the link.
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    if (fs::is_directory(target, ec)) return TFileResult::Failure(WriteFailure(fileName, EISDIR));

    std::string temp;
    FilePtr f;
    for (int attempt = 0; attempt < 16 && !f; ++attempt) {
        temp = TempNameFor(target);
        errno = 0;
        f.reset(std::fopen(temp.c_str(), "wbx"));
        if (!f && errno != EEXIST) break;
    }
    if (!f) return TFileResult::Failure(WriteFailure(fileName, errno ? errno : EIO));

    int err = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) err = errno ? errno : EIO;
    if (!err && std::fflush(f.get()) != 0) err = errno ? errno : EIO;
#ifdef __unix__
    if (!err && ::fsync(fileno(f.get())) != 0 && errno != EINVAL) err = errno;
#endif
    if (std::fclose(f.release()) != 0 && !err) err = errno ? errno : EIO;
    if (err) {
        fs::remove(temp, ec);
        return TFileResult::Failure(WriteFailure(fileName, err));
    }

    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return TFileResult::Failure(WriteFailure(fileName, ec.value()));
    }
    return {};
}

} // namespace velomast
