// The atomic writer: a failure at any step keeps the old file byte for byte,
// leaves no temporary file and names the system's reason.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <cerrno>
#include <stdexcept>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Step { Open, OpenNamed, Write, WriteNothing, Fsync, Link, Close, Rename, SyncFolder };

// Fails one step of the writer with a chosen error, as the system would.
class FailingCalls : public IFileSystemCalls {
public:
    FailingCalls(Step step, int error) : step_(step), error_(error) {}

    int Open(const char *path, int flags, mode_t mode) override
    {
        const bool folder = (flags & O_DIRECTORY) == O_DIRECTORY && (flags & O_TMPFILE) != O_TMPFILE;
        if (folder)
            syncingFolder_ = true;
        if (step_ == Step::Open && !folder)
            return Fail();
        if (step_ == Step::OpenNamed && (flags & O_TMPFILE) == O_TMPFILE)
            return Fail(EOPNOTSUPP);
        return IFileSystemCalls::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void *data, size_t size) override
    {
        if (step_ == Step::Write)
            return Fail();
        if (step_ == Step::WriteNothing)
            return 0;
        return IFileSystemCalls::Write(fd, data, size);
    }
    int Fsync(int fd) override
    {
        if ((step_ == Step::Fsync && !syncingFolder_) || (step_ == Step::SyncFolder && syncingFolder_))
            return Fail();
        return IFileSystemCalls::Fsync(fd);
    }
    int LinkOpenFile(int fd, const char *path) override
    {
        return step_ == Step::Link ? Fail() : IFileSystemCalls::LinkOpenFile(fd, path);
    }
    int Close(int fd) override
    {
        const int result = IFileSystemCalls::Close(fd);
        // The descriptor is gone either way, as after a real failing close.
        return step_ == Step::Close && !syncingFolder_ ? Fail() : result;
    }
    int Rename(const char *from, const char *to) override
    {
        return step_ == Step::Rename ? Fail() : IFileSystemCalls::Rename(from, to);
    }

private:
    int Fail(int error = 0)
    {
        errno = error ? error : error_;
        return -1;
    }

    Step step_;
    int error_;
    bool syncingFolder_ = false;
};

class SeamGuard {
public:
    explicit SeamGuard(IFileSystemCalls *calls) { TAtomicFile::SetSystemCalls(calls); }
    ~SeamGuard() { TAtomicFile::SetSystemCalls(nullptr); }
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct FailureCase {
    Step step;
    int error;
    qsizetype payload; // small ones sat in a buffer until the end before
    const char *reason;
    bool replaced = false; // failures after the replacement still report
};

class AtomicFileFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(AtomicFileFailure, KeepsTheOldFileAndNamesTheReason)
{
    const FailureCase c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("model.xml");
    const QByteArray old = "<old diagram/>\r\n";
    WriteRaw(path, old);

    FailingCalls calls(c.step, c.error);
    SeamGuard guard(&calls);
    const QByteArray payload(c.payload, 'n');
    EXPECT_EQ(TAtomicFile::Write(path, payload), QString::fromLatin1(c.reason));
    EXPECT_EQ(ReadAll(path), c.replaced ? payload : old);
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{"model.xml"});
}

INSTANTIATE_TEST_SUITE_P(EachStep, AtomicFileFailure,
                         testing::Values(FailureCase{Step::Open, EACCES, 10, "Permission denied"},
                                         FailureCase{Step::Write, ENOSPC, 1, "No space left on device"},
                                         FailureCase{Step::Write, ENOSPC, 16 * 1024, "No space left on device"},
                                         FailureCase{Step::Write, EDQUOT, 3'000'000, "Disk quota exceeded"},
                                         FailureCase{Step::WriteNothing, 0, 4097, "No space left on device"},
                                         FailureCase{Step::Fsync, EIO, 100, "Input/output error"},
                                         FailureCase{Step::Link, ENOSPC, 100, "No space left on device"},
                                         FailureCase{Step::Close, EIO, 100, "Input/output error"},
                                         FailureCase{Step::Rename, EXDEV, 100, "Invalid cross-device link"},
                                         // A named temporary file serves where unnamed ones are refused.
                                         FailureCase{Step::OpenNamed, 0, 3, "", true},
                                         FailureCase{Step::SyncFolder, EIO, 3, "Input/output error", true},
                                         // A folder that cannot be synced at all is no failure.
                                         FailureCase{Step::SyncFolder, EINVAL, 3, "", true},
                                         FailureCase{Step::SyncFolder, EROFS, 3, "", true}));

TEST(AtomicFile, WritesNewFilesAndKeepsPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QString real = dir.filePath("real.xml");
    const QString link = dir.filePath("link.xml");
    WriteRaw(real, "old");
    // Bits the umask would strip from a new file stay on the replaced one.
    const mode_t umaskBefore = ::umask(022);
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0662), 0);
    ASSERT_TRUE(QFile::link(real, link));

    const QByteArray big(700'000, 'x'); // over the writer's buffer, not a multiple of it
    EXPECT_EQ(TAtomicFile::Write(link, big), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadAll(real), big);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0662u);
    ::umask(umaskBefore);

    EXPECT_EQ(TAtomicFile::Write(dir.filePath("fresh.txt"), QByteArray()), QString());
    EXPECT_EQ(ReadAll(dir.filePath("fresh.txt")), QByteArray());
    EXPECT_EQ(TAtomicFile::Write(dir.filePath("no/such/folder.txt"), QByteArray("x")), "No such file or directory");
}

TEST(AtomicFile, ExceptionOfTheWriterKeepsTheOldFileAndReachesTheCaller)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.xml");
    WriteRaw(path, "old");
    EXPECT_THROW(TAtomicFile::Write(path,
                                    [](QIODevice &file) {
                                        file.write("half");
                                        throw std::runtime_error("drawing failed");
                                    }),
                 std::runtime_error);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{"a.xml"});
}

TEST(AtomicFile, TemporaryFileOfAKilledSaveIsRemovedByTheNextSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.xml");
    WriteRaw(path, "old");
    // A process id that cannot be running, and our own, which is.
    WriteRaw(dir.filePath(".a.xml.~2147483646-1.tmp"), "stale");
    const QString live = QStringLiteral(".a.xml.~%1-99.tmp").arg(::getpid());
    WriteRaw(dir.filePath(live), "busy");
    WriteRaw(dir.filePath(".b.xml.~2147483646-1.tmp"), "other file's");

    EXPECT_EQ(TAtomicFile::Write(path, QByteArray("new")), QString());
    QStringList expected{".a.xml.~" + QString::number(::getpid()) + "-99.tmp", ".b.xml.~2147483646-1.tmp",
                         "a.xml"};
    QStringList entries = FolderEntries(dir.path());
    entries.sort();
    expected.sort();
    EXPECT_EQ(entries, expected);
}

// A full file system for real: a small tmpfs filled up before the save.
TEST(AtomicFile, FullDiskKeepsTheOldFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a small tmpfs";
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        QByteArray point;
        ~Unmount() { ::umount(point.constData()); }
    } unmount{mountPoint};

    const QString path = dir.filePath("model.xml");
    const QByteArray old(5000, 'o');
    WriteRaw(path, old);
    {
        QFile filler(dir.filePath("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
    for (const qsizetype size : {qsizetype(100), qsizetype(16 * 1024), qsizetype(200 * 1024)}) {
        EXPECT_EQ(TAtomicFile::Write(path, QByteArray(size, 'n')), "No space left on device") << size;
        EXPECT_EQ(ReadAll(path), old) << size;
        QStringList entries = FolderEntries(dir.path());
        entries.sort();
        EXPECT_EQ(entries, (QStringList{"filler", "model.xml"})) << size;
    }
}

} // namespace
