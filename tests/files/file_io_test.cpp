// What reading and saving may and may not touch: permissions, owners, links, folders the
// user may not write, and files that are no regular files.
#include "files/file_io.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

using namespace velomast;
using velomast::test::AsOrdinaryUser;
using velomast::test::GiveToOrdinaryUser;
using velomast::test::ReadBytes;
using velomast::test::TempDir;
using velomast::test::WriteBytes;
namespace fs = std::filesystem;

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct stat Stat(const std::string& name) {
    struct stat st {};
    EXPECT_EQ(::stat(name.c_str(), &st), 0) << name;
    return st;
}

size_t Entries(const fs::path& dir) { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }

std::string Save(const std::string& name, const std::string& bytes) {
    const TFileResult r = WriteFileReplacing(name, bytes);
    return r.Ok ? "ok" : r.Message;
}

} // namespace

TEST(WriteFileReplacing, RefusesFilesTheUserMayNotWrite) {
    TempDir dir;
    GiveToOrdinaryUser(dir.Path());
    const std::string own = dir.File("read-only.maa"); // the user's own, mode 444
    WriteBytes(own, "old");
    GiveToOrdinaryUser(own);
    ::chmod(own.c_str(), 0444);
    const std::string theirs = dir.File("theirs.maa"); // another user's, in the user's folder
    WriteBytes(theirs, "theirs");
    if (!velomast::test::IsSuperuser()) ::chmod(theirs.c_str(), 0444);

    for (const std::string& name : {own, theirs}) {
        const std::string result = AsOrdinaryUser([&] { return Save(name, "new"); });
        EXPECT_TRUE(Has(result, "Не удалось записать файл")) << result;
        EXPECT_TRUE(Has(result, "нет прав доступа")) << result;
    }
    EXPECT_EQ(ReadBytes(own), "old");
    EXPECT_EQ(ReadBytes(theirs), "theirs");
    EXPECT_EQ(Stat(own).st_mode & 07777, 0444u);
    EXPECT_EQ(Entries(dir.Path()), 2u); // no temporary file left behind
}

TEST(WriteFileReplacing, AWritableFileInAFolderThatIsNotIsWrittenInPlace) {
    TempDir dir;
    const fs::path folder = dir.Path() / "locked";
    fs::create_directory(folder);
    const std::string name = (folder / "m.maa").string();
    WriteBytes(name, "a much longer old text than the new one");
    GiveToOrdinaryUser(folder);
    GiveToOrdinaryUser(name);
    ::chmod(folder.c_str(), 0555);

    EXPECT_EQ(AsOrdinaryUser([&] { return Save(name, "new"); }), "ok");
    EXPECT_EQ(ReadBytes(name), "new");
    // A new file cannot be made there.
    const std::string created = AsOrdinaryUser([&] { return Save((folder / "other.maa").string(), "x"); });
    EXPECT_TRUE(Has(created, "нет прав доступа")) << created;
    EXPECT_EQ(Entries(folder), 1u);
    ::chmod(folder.c_str(), 0755);
}

TEST(WriteFileReplacing, KeepsHardLinksModeOwnerAndGroup) {
    TempDir dir;
    const std::string a = dir.File("a.maa");
    const std::string b = dir.File("b.maa");
    WriteBytes(a, "old");
    fs::create_hard_link(a, b);
    ASSERT_EQ(Save(a, "new"), "ok");
    EXPECT_EQ(ReadBytes(b), "new");
    EXPECT_EQ(Stat(a).st_ino, Stat(b).st_ino);

    // A symbolic link stays a link to the replaced file.
    const std::string link = dir.File("link.maa");
    fs::create_symlink(a, link);
    ASSERT_EQ(Save(link, "newer"), "ok");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(b), "newer");

    const std::string c = dir.File("c.maa");
    WriteBytes(c, "old");
    ::chmod(c.c_str(), 0640);
    if (velomast::test::IsSuperuser()) {
        ASSERT_EQ(::chown(c.c_str(), 65534, 65534), 0);
    }
    const struct stat before = Stat(c);
    ASSERT_EQ(Save(c, "new"), "ok");
    const struct stat after = Stat(c);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(ReadBytes(c), "new");
}

TEST(WriteFileReplacing, RefusesTargetsThatAreNoRegularFiles) {
    TempDir dir;
    const std::string fifo = dir.File("pipe.maa");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string r = Save(fifo, "new");
    EXPECT_TRUE(Has(r, "это не обычный файл")) << r;
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

namespace {
// Reads `name` while another thread keeps opening it for writing, so that a reader that
// waits for a writer of a pipe gets one and the test ends either way.
TFileBytes ReadWithWriterAround(const std::string& name) {
    std::atomic<bool> done{false};
    std::thread writer([&] {
        while (!done) {
            const int fd = ::open(name.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    TFileBytes b = ReadFileBytes(name);
    done = true;
    writer.join();
    return b;
}
} // namespace

TEST(ReadFileBytes, OnlyRegularFilesOfASaneSize) {
    TempDir dir;
    const std::string fifo = dir.File("pipe.maa");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    TFileBytes b = ReadWithWriterAround(fifo);
    ASSERT_EQ(b.Status, TFileReadStatus::Failed);
    EXPECT_TRUE(Has(b.Message, "это не обычный файл")) << b.Message;

    b = ReadFileBytes("/dev/zero");
    EXPECT_EQ(b.Status, TFileReadStatus::Failed);
    EXPECT_TRUE(b.Bytes.empty());

    // A sparse file costs no disk space.
    const std::string big = dir.File("big.maa");
    WriteBytes(big, "");
    fs::resize_file(big, MaxReadFileBytes + 1);
    b = ReadFileBytes(big);
    EXPECT_EQ(b.Status, TFileReadStatus::Failed);
    EXPECT_TRUE(Has(b.Message, "больше 512 МБ")) << b.Message;
    EXPECT_TRUE(b.Bytes.empty());

    fs::resize_file(big, 3);
    b = ReadFileBytes(big);
    EXPECT_EQ(b.Status, TFileReadStatus::Ok);
    EXPECT_EQ(b.Bytes, std::string(3, '\0'));
    EXPECT_EQ(ReadFileBytes(dir.File("missing.maa")).Status, TFileReadStatus::Missing);
}

// The model reader's buffer: the same bytes and answers as ReadFileBytes, in memory of its
// own (malloc for small files, a huge-page mapping for large ones).
TEST(ReadFileContent, SameBytesAndAnswersAsReadFileBytes) {
    TempDir dir;
    std::string large(5u << 20, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>('a' + i % 23);
    for (const std::string& bytes : {std::string(), std::string("a\r\nb"), large}) {
        const std::string name = dir.File("m.maa");
        WriteBytes(name, bytes);
        TFileContent c = ReadFileContent(name);
        ASSERT_EQ(c.Status, TFileReadStatus::Ok);
        EXPECT_TRUE(c.Bytes.View() == bytes) << bytes.size();
        c.Bytes.Release();
        EXPECT_TRUE(c.Bytes.View().empty());
    }
    const TFileContent missing = ReadFileContent(dir.File("missing.maa"));
    EXPECT_EQ(missing.Status, TFileReadStatus::Missing);
    EXPECT_EQ(missing.Message, ReadFileBytes(dir.File("missing.maa")).Message);
    const TFileContent folder = ReadFileContent(dir.Path().string());
    EXPECT_EQ(folder.Status, TFileReadStatus::Failed);
    EXPECT_EQ(folder.Message, ReadFileBytes(dir.Path().string()).Message);
    EXPECT_TRUE(folder.Bytes.View().empty());

    // Growing keeps what the old room held, from malloc'd memory into a mapping and on.
    TFileBuffer b;
    ASSERT_TRUE(b.Reserve(100));
    std::memcpy(b.Data(), "begin", 5);
    ASSERT_TRUE(b.Reserve(3u << 20));
    EXPECT_GE(b.Capacity(), 3u << 20);
    b.Data()[(3u << 20) - 1] = 'z';
    ASSERT_TRUE(b.Reserve(7u << 20));
    b.SetSize(3u << 20);
    EXPECT_EQ(b.View().substr(0, 5), "begin");
    EXPECT_EQ(b.View().back(), 'z');
    TFileBuffer moved = std::move(b);
    EXPECT_TRUE(b.View().empty());
    EXPECT_EQ(moved.View().substr(0, 5), "begin");
}
