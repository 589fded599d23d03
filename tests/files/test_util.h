// Scratch folders and file helpers for the file tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velomast::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        Path_ = std::filesystem::temp_directory_path() / ("velomast-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(Path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(Path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return Path_; }
    std::string File(const std::string& name) const { return (Path_ / name).string(); }

private:
    std::filesystem::path Path_;
};

inline void WriteBytes(const std::string& name, const std::string& bytes) {
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f << bytes;
}

inline std::string ReadBytes(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Permissions do not bind the superuser, so tests of what an ordinary user may not do run
// their body, under root, in a child process that has become "nobody"; otherwise in the
// test's own process. The body returns a text for the test to check (the child hands it
// back through a pipe).
inline constexpr uid_t kOrdinaryUid = 65534;
inline constexpr gid_t kOrdinaryGid = 65534;

inline bool IsSuperuser() { return ::geteuid() == 0; }

// Makes a file or folder the ordinary user's own (under root; otherwise it is already).
inline void GiveToOrdinaryUser(const std::filesystem::path& p) {
    if (IsSuperuser() && ::chown(p.c_str(), kOrdinaryUid, kOrdinaryGid) != 0) throw std::runtime_error("chown");
}

// Reads a child's pipe to its end, closes it and waits for the child; its wait status.
inline int ReadChild(int fd, pid_t pid, std::string& out) {
    char buf[65536];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
    ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

inline std::string AsOrdinaryUser(const std::function<std::string()>& body) {
    if (!IsSuperuser()) return body();
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string out = "could not become an ordinary user";
        if (::setgroups(0, nullptr) == 0 && ::setgid(kOrdinaryGid) == 0 && ::setuid(kOrdinaryUid) == 0) out = body();
        for (size_t done = 0; done < out.size();) {
            const ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::_exit(0); // no test teardown, no leak report in the child
    }
    ::close(fds[1]);
    std::string out;
    ReadChild(fds[0], pid, out);
    return out;
}

} // namespace velomast::test
