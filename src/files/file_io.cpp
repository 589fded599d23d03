#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#ifdef __unix__
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/mman.h>
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

// Reasons that no error number names.
constexpr const char* NotRegularFileReason = "это не обычный файл, а канал, устройство или сокет";
constexpr const char* TooLargeReason = "файл больше 512 МБ";

std::string ReadFailure(const std::string& fileName, const std::string& reason) {
    return "Не удалось прочитать файл " + Quoted(fileName) + ": " + reason + ".";
}
std::string ReadFailure(const std::string& fileName, int err) { return ReadFailure(fileName, SystemErrorText(err)); }

std::string WriteFailure(const std::string& fileName, const std::string& reason) {
    return "Не удалось записать файл " + Quoted(fileName) + ": " + reason + ".";
}
std::string WriteFailure(const std::string& fileName, int err) { return WriteFailure(fileName, SystemErrorText(err)); }

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

#ifdef __unix__

namespace {

// A file descriptor that closes itself.
struct TFd {
    int Fd = -1;
    explicit TFd(int fd) : Fd(fd) {}
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    ~TFd() {
        if (Fd >= 0) ::close(Fd);
    }
    explicit operator bool() const { return Fd >= 0; }
};

// Reads the whole file through `room(n)`, which gives room for n bytes (keeping those
// already read) and returns where they go; the number of bytes read comes back in *size.
template <typename Room>
TFileReadStatus ReadWhole(const std::string& fileName, std::string& message, size_t* size, Room room) {
    auto failed = [&](std::string text) {
        message = std::move(text);
        return TFileReadStatus::Failed;
    };
    if (fileName.empty()) {
        message = "Файл " + fileName + " не найден.";
        return TFileReadStatus::Missing;
    }
    // Opened without waiting, so that a pipe without a writer or a device never blocks;
    // what it is decides next, on the open file itself.
    TFd f(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!f) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) {
            message = "Файл " + fileName + " не найден.";
            return TFileReadStatus::Missing;
        }
        return failed(ReadFailure(fileName, err));
    }
    struct stat st {};
    if (::fstat(f.Fd, &st) != 0) return failed(ReadFailure(fileName, errno));
    if (S_ISDIR(st.st_mode)) return failed(ReadFailure(fileName, EISDIR));
    if (!S_ISREG(st.st_mode)) return failed(ReadFailure(fileName, NotRegularFileReason));
    if (static_cast<uint64_t>(st.st_size) > MaxReadFileBytes) return failed(ReadFailure(fileName, TooLargeReason));

    // One byte more than the file holds, so that the end shows at once.
    size_t capacity = static_cast<size_t>(st.st_size) + 1;
    char* data = room(capacity);
    size_t done = 0;
    for (;;) {
        if (done == capacity) {
            // The file grows while it is read: read on, up to the limit.
            if (done > MaxReadFileBytes) return failed(ReadFailure(fileName, TooLargeReason));
            capacity = done + (1 << 16);
            data = room(capacity);
        }
        const ssize_t n = ::read(f.Fd, data + done, capacity - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(ReadFailure(fileName, errno));
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    if (done > MaxReadFileBytes) return failed(ReadFailure(fileName, TooLargeReason));
    *size = done;
    return TFileReadStatus::Ok;
}

} // namespace

TFileBytes ReadFileBytes(const std::string& fileName) {
    TFileBytes r;
    size_t size = 0;
    r.Status = ReadWhole(fileName, r.Message, &size, [&](size_t n) {
        r.Bytes.resize(n);
        return r.Bytes.data();
    });
    r.Bytes.resize(r.Status == TFileReadStatus::Ok ? size : 0);
    return r;
}

TFileContent ReadFileContent(const std::string& fileName) {
    TFileContent r;
    size_t size = 0;
    r.Status = ReadWhole(fileName, r.Message, &size, [&](size_t n) {
        if (!r.Bytes.Reserve(n)) throw std::bad_alloc();
        return r.Bytes.Data();
    });
    if (r.Status == TFileReadStatus::Ok)
        r.Bytes.SetSize(size);
    else
        r.Bytes.Release();
    return r;
}

#else

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
    auto failed = [&](std::string message) {
        r.Status = TFileReadStatus::Failed;
        r.Message = std::move(message);
        r.Bytes.clear();
        return r;
    };
    if (ec) return failed(ReadFailure(fileName, ec.value()));
    if (st.type() == fs::file_type::directory) return failed(ReadFailure(fileName, EISDIR));
    if (st.type() != fs::file_type::regular) return failed(ReadFailure(fileName, NotRegularFileReason));
    if (fs::file_size(path, ec) > MaxReadFileBytes) return failed(ReadFailure(fileName, TooLargeReason));
    errno = 0;
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f) return failed(ReadFailure(fileName, errno ? errno : EIO));
    char buf[1 << 16];
    for (;;) {
        const size_t n = std::fread(buf, 1, sizeof buf, f.get());
        r.Bytes.append(buf, n);
        if (r.Bytes.size() > MaxReadFileBytes) return failed(ReadFailure(fileName, TooLargeReason));
        if (n < sizeof buf) break;
    }
    if (std::ferror(f.get())) return failed(ReadFailure(fileName, errno ? errno : EIO));
    return r;
}

TFileContent ReadFileContent(const std::string& fileName) {
    TFileBytes b = ReadFileBytes(fileName);
    TFileContent r;
    r.Status = b.Status;
    r.Message = std::move(b.Message);
    if (b.Status == TFileReadStatus::Ok) {
        if (!r.Bytes.Reserve(b.Bytes.size())) throw std::bad_alloc();
        std::memcpy(r.Bytes.Data(), b.Bytes.data(), b.Bytes.size());
        r.Bytes.SetSize(b.Bytes.size());
    }
    return r;
}

#endif

TFileBuffer::TFileBuffer(TFileBuffer&& other) noexcept
    : Data_(other.Data_), Size_(other.Size_), Capacity_(other.Capacity_), Mapped_(other.Mapped_),
      Dropped_(other.Dropped_) {
    other.Data_ = nullptr;
    other.Size_ = other.Capacity_ = other.Mapped_ = other.Dropped_ = 0;
}

TFileBuffer& TFileBuffer::operator=(TFileBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        std::swap(Data_, other.Data_);
        std::swap(Size_, other.Size_);
        std::swap(Capacity_, other.Capacity_);
        std::swap(Mapped_, other.Mapped_);
        std::swap(Dropped_, other.Dropped_);
    }
    return *this;
}

void TFileBuffer::Release() {
#ifdef __unix__
    if (Mapped_)
        ::munmap(Data_, Mapped_);
    else
#endif
        std::free(Data_);
    Data_ = nullptr;
    Size_ = Capacity_ = Mapped_ = Dropped_ = 0;
}

void TFileBuffer::ReleaseBefore(const char* p) {
#ifdef __unix__
    // Whole small pages: a huge page the reader is part-way through is split, and the
    // part read goes; keeping it whole would hold up to 2 MB more than the rest of the file.
    constexpr size_t kPage = 4096;
    if (!Mapped_ || p < Data_ || p > Data_ + Size_) return;
    const size_t upto = static_cast<size_t>(p - Data_) / kPage * kPage;
    if (upto <= Dropped_) return;
    ::madvise(Data_ + Dropped_, upto - Dropped_, MADV_DONTNEED);
    Dropped_ = upto;
#else
    (void)p;
#endif
}

bool TFileBuffer::Reserve(size_t capacity) {
    if (capacity <= Capacity_) return true;
    char* data = nullptr;
    size_t mapped = 0;
#ifdef __unix__
    // Large buffers are mapped on their own, so that ReleaseBefore can give the pages read
    // back, and are filled at once, so they are mapped in whole rather than a page fault at
    // a time. The huge pages that lie wholly inside the bytes asked for are offered, which
    // saves most of the faults; not the one reaching past them, which would be held whole.
    constexpr size_t kHuge = size_t{2} << 20;
    if (capacity >= kHuge) {
        const size_t length = (capacity + kHuge - 1) / kHuge * kHuge;
        void* p = ::mmap(nullptr, length + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) return false;
        const auto base = reinterpret_cast<uintptr_t>(p);
        const uintptr_t aligned = (base + kHuge - 1) / kHuge * kHuge;
        if (aligned > base) ::munmap(p, aligned - base);
        if (const uintptr_t tail = base + length + kHuge - (aligned + length))
            ::munmap(reinterpret_cast<void*>(aligned + length), tail);
        data = reinterpret_cast<char*>(aligned);
        mapped = length;
#ifdef MADV_HUGEPAGE
        if (const size_t whole = capacity / kHuge * kHuge) ::madvise(data, whole, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
        ::madvise(data, capacity, MADV_POPULATE_WRITE);
#endif
    }
#endif
    if (!data) {
        data = static_cast<char*>(std::malloc(capacity));
        if (!data) return false;
    }
    // Everything the old room held: a reader fills it before it says how much it read.
    if (Capacity_) std::memcpy(data, Data_, Capacity_);
    const size_t size = Size_;
    Release();
    Data_ = data;
    Size_ = size;
    Capacity_ = mapped ? mapped : capacity;
    Mapped_ = mapped;
    return true;
}

TTextFile ReadTextFileLines(const std::string& fileName) {
    TTextFile t;
    TFileBytes b = ReadFileBytes(fileName);
    t.Status = b.Status;
    t.Message = std::move(b.Message);
    if (b.Status != TFileReadStatus::Ok) return t;
    if (const std::string why = NotTextReason(b.Bytes); !why.empty()) {
        // Lines added in another encoding would garble it.
        t.Status = TFileReadStatus::Failed;
        t.Message = ReadFailure(fileName, why);
        return t;
    }
    TDecodedText d = DecodeText(b.Bytes);
    t.Lines = SplitLines(d.Text);
    t.Encoding = d.Encoding;
    t.Bom = d.Bom;
    return t;
}

#ifdef __unix__

namespace {

// Writes all of `bytes` at the start of the open file, then cuts it to their length.
int WriteAllAt(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
    if (::fsync(fd) != 0 && errno != EINVAL) return errno;
    return 0;
}

// Writing over the file itself: for a file that other names share (hard links) and for a
// writable file in a folder that takes no new files. The room is taken first, so that a
// full disk leaves the old text whole.
TFileResult WriteInPlace(int fd, const std::string& fileName, std::string_view bytes) {
#ifdef __linux__
    if (!bytes.empty() && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        return TFileResult::Failure(WriteFailure(fileName, errno));
#endif
    if (const int err = WriteAllAt(fd, bytes)) return TFileResult::Failure(WriteFailure(fileName, err));
    return {};
}

} // namespace

TFileResult WriteFileReplacing(const std::string& fileName, std::string_view bytes) {
    if (fileName.empty()) return TFileResult::Failure(WriteFailure(fileName, ENOENT));
    std::error_code ec;
    fs::path target(fileName);
    // Replace what a link points to, not the link.
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }

    // An existing file is opened for writing first: what the user may not write is
    // refused here with the system's reason, and stays as it was.
    struct stat old {};
    bool exists = false;
    TFd existing(-1);
    if (::stat(target.c_str(), &old) == 0) {
        exists = true;
        if (S_ISDIR(old.st_mode)) return TFileResult::Failure(WriteFailure(fileName, EISDIR));
        if (!S_ISREG(old.st_mode)) return TFileResult::Failure(WriteFailure(fileName, NotRegularFileReason));
        existing.Fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (!existing) return TFileResult::Failure(WriteFailure(fileName, errno));
        if (::fstat(existing.Fd, &old) != 0) return TFileResult::Failure(WriteFailure(fileName, errno));
        if (!S_ISREG(old.st_mode)) return TFileResult::Failure(WriteFailure(fileName, NotRegularFileReason));
        // Replacing one name of a file with several would part it from the others.
        if (old.st_nlink > 1) return WriteInPlace(existing.Fd, fileName, bytes);
    } else if (errno != ENOENT) {
        return TFileResult::Failure(WriteFailure(fileName, errno));
    }

    std::string temp;
    TFd f(-1);
    int err = 0;
    for (int attempt = 0; attempt < 16 && !f; ++attempt) {
        temp = TempNameFor(target);
        // Private until it takes the old file's mode; a new file gets the usual mode.
        f.Fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        err = f ? 0 : errno;
        if (!f && err != EEXIST) break;
    }
    if (!f) {
        // A folder that takes no new file may still hold a file the user may write.
        if (exists && (err == EACCES || err == EPERM || err == EROFS)) return WriteInPlace(existing.Fd, fileName, bytes);
        return TFileResult::Failure(WriteFailure(fileName, err ? err : EIO));
    }

    err = WriteAllAt(f.Fd, bytes);
    if (!err && exists) {
        // The owner and group first (changing them clears the set-id bits), where the
        // process may set them; then the mode.
        const bool ownerKept = ::fchown(f.Fd, old.st_uid, old.st_gid) == 0;
        [[maybe_unused]] const bool groupKept = ownerKept || ::fchown(f.Fd, static_cast<uid_t>(-1), old.st_gid) == 0;
        if (::fchmod(f.Fd, old.st_mode & 07777) != 0) err = errno;
    }
    if (::close(f.Fd) != 0 && !err) err = errno;
    f.Fd = -1;
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return TFileResult::Failure(WriteFailure(fileName, err));
    }
    return {};
}

#else

TFileResult WriteFileReplacing(const std::string& fileName, std::string_view bytes) {
    if (fileName.empty()) return TFileResult::Failure(WriteFailure(fileName, ENOENT));
    std::error_code ec;
    fs::path target(fileName);
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    const fs::file_status old = fs::status(target, ec);
    const bool exists = !ec && fs::exists(old);
    if (exists && fs::is_directory(old)) return TFileResult::Failure(WriteFailure(fileName, EISDIR));
    if (exists && !fs::is_regular_file(old)) return TFileResult::Failure(WriteFailure(fileName, NotRegularFileReason));
    if (exists && (old.permissions() & fs::perms::owner_write) == fs::perms::none)
        return TFileResult::Failure(WriteFailure(fileName, EACCES));

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
    if (std::fclose(f.release()) != 0 && !err) err = errno ? errno : EIO;
    if (!err && exists) fs::permissions(temp, old.permissions(), ec);
    if (!err) {
        fs::rename(temp, target, ec);
        if (ec) err = ec.value();
    }
    if (err) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return TFileResult::Failure(WriteFailure(fileName, err));
    }
    return {};
}

#endif

} // namespace velomast
