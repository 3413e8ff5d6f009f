#include "platform/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int IFileSystemCalls::Open(const char *path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t IFileSystemCalls::Write(int fd, const void *data, size_t size) { return ::write(fd, data, size); }
int IFileSystemCalls::Fsync(int fd) { return ::fsync(fd); }
int IFileSystemCalls::Close(int fd) { return ::close(fd); }
int IFileSystemCalls::Rename(const char *from, const char *to) { return ::rename(from, to); }
int IFileSystemCalls::Unlink(const char *path) { return ::unlink(path); }
int IFileSystemCalls::LinkOpenFile(int fd, const char *path)
{
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, procPath, AT_FDCWD, path, AT_SYMLINK_FOLLOW);
}

namespace {

IFileSystemCalls RealCalls;
IFileSystemCalls *Calls = &RealCalls;

QString SystemReason(int error)
{
    // A failing call that left errno unset still failed: never an empty reason.
    return QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO));
}

QByteArray Native(const QString &path) { return QFile::encodeName(path); }

// Writes through the seam without Qt's buffer, whose late flush on commit
// could hide a full disk; the first failure is kept and refuses the rename.
class TFileDescriptorDevice : public QIODevice {
public:
    explicit TFileDescriptorDevice(int fd) : fd_(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }

    bool Flush()
    {
        const char *data = buffer_.data();
        size_t left = buffer_.size();
        while (left > 0 && !Failed()) {
            const ssize_t written = Calls->Write(fd_, data, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                // A write that takes nothing without an error is a full disk.
                Fail(written < 0 ? errno : ENOSPC);
                break;
            }
            data += written;
            left -= size_t(written);
        }
        buffer_.clear();
        return !Failed();
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        if (Failed())
            return -1;
        buffer_.insert(buffer_.end(), data, data + size);
        if (buffer_.size() >= BufferSize && !Flush())
            return -1;
        return size;
    }

private:
    static constexpr size_t BufferSize = 256 * 1024;

    void Fail(int error)
    {
        error_ = error;
        setErrorString(SystemReason(error));
    }

    int fd_;
    int error_ = 0;
    std::vector<char> buffer_;
};

// Names of our temporary files: ".<name>.~<pid>-<n>.tmp" next to the target,
// so that one left by a killed save can be told apart and removed later.
QString TemporaryPrefix(const QFileInfo &target) { return QLatin1Char('.') + target.fileName() + QStringLiteral(".~"); }

QString TemporaryName(const QFileInfo &target)
{
    static unsigned counter = 0;
    return target.absolutePath() + QLatin1Char('/') + TemporaryPrefix(target) + QString::number(::getpid()) +
           QLatin1Char('-') + QString::number(++counter) + QStringLiteral(".tmp");
}

// A save killed between naming its temporary file and the rename leaves that
// file; the next save of the same file removes it once its writer is gone.
void RemoveStaleTemporaries(const QFileInfo &target)
{
    const QString prefix = TemporaryPrefix(target);
    const QStringList names =
        QDir(target.absolutePath()).entryList({prefix + QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QString middle = name.mid(prefix.size(), name.size() - prefix.size() - 4);
        bool ok = false;
        const pid_t pid = middle.section(QLatin1Char('-'), 0, 0).toInt(&ok);
        if (ok && pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH))
            continue;
        Calls->Unlink(Native(target.absolutePath() + QLatin1Char('/') + name).constData());
    }
}

QString FailureOf(int error) { return SystemReason(error); }

// The folder's own entry must reach the disk too, or a crash after the rename
// can bring back the old name.
int SyncFolder(const QString &folder)
{
    const int fd = Calls->Open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    int error = 0;
    if (Calls->Fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    Calls->Close(fd);
    return error;
}

// The file the user means: a link keeps pointing at the file it names.
QFileInfo TargetOf(const QString &path)
{
    QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            return QFileInfo(target);
    }
    return info;
}

} // namespace

IFileSystemCalls *TAtomicFile::SetSystemCalls(IFileSystemCalls *calls)
{
    IFileSystemCalls *previous = Calls == &RealCalls ? nullptr : Calls;
    Calls = calls ? calls : &RealCalls;
    return previous;
}

QString TAtomicFile::Write(const QString &path, const std::function<void(QIODevice &)> &write)
{
    const QFileInfo target = TargetOf(path);
    if (target.fileName().isEmpty())
        return SystemReason(EISDIR);
    RemoveStaleTemporaries(target);

    const QString temporary = TemporaryName(target);
    const QByteArray temporaryName = Native(temporary);
    const QByteArray targetName = Native(target.absoluteFilePath());
    struct stat old {};
    const bool hadOld = ::stat(targetName.constData(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = hadOld ? (old.st_mode & 07777) : 0666;

    // The data goes into a file without a name first, so that a save killed
    // half-way leaves nothing behind; it gets its temporary name only when
    // whole. Where the file system cannot do that, a named temporary file
    // serves, and the next save removes it if it was left.
    const QByteArray folderName = Native(target.absolutePath());
    bool named = false;
    int fd = Calls->Open(folderName.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        named = true;
        fd = Calls->Open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    }
    if (fd < 0)
        return FailureOf(errno);
    // The old file's permissions survive the replacement (umask aside).
    if (hadOld)
        ::fchmod(fd, mode);

    auto abandon = [&](int error, bool open) {
        if (open)
            Calls->Close(fd);
        if (named)
            Calls->Unlink(temporaryName.constData());
        return FailureOf(error);
    };

    TFileDescriptorDevice device(fd);
    try {
        write(device);
    } catch (...) {
        abandon(0, true);
        throw;
    }
    if (!device.Flush())
        return abandon(device.Error(), true);
    if (Calls->Fsync(fd) != 0)
        return abandon(errno, true);
    if (!named) {
        if (Calls->LinkOpenFile(fd, temporaryName.constData()) != 0)
            return abandon(errno, true);
        named = true;
    }
    if (Calls->Close(fd) != 0)
        return abandon(errno, false);
    if (Calls->Rename(temporaryName.constData(), targetName.constData()) != 0)
        return abandon(errno, false);
    if (const int error = SyncFolder(target.absolutePath()))
        return FailureOf(error);
    return {};
}

QString TAtomicFile::Write(const QString &path, const QByteArray &bytes)
{
    return Write(path, [&](QIODevice &file) { file.write(bytes); });
}
