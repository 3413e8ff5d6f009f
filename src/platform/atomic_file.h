#pragma once
// TAtomicFile: writes a user's file in one piece, so a failed or interrupted
// save leaves the old file whole.
#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/types.h>

class QIODevice;

// The system calls the writer makes, behind one seam so that tests can fail
// each step the way a full disk, a lost device or a revoked permission would.
// Each returns what the system call returns and leaves errno set on failure.
class IFileSystemCalls {
public:
    virtual ~IFileSystemCalls() = default;
    virtual int Open(const char *path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void *data, size_t size);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char *from, const char *to);
    virtual int Unlink(const char *path);
    // Gives the open file without a name (O_TMPFILE) the name path.
    virtual int LinkOpenFile(int fd, const char *path);
};

class TAtomicFile {
public:
    TAtomicFile() = delete;

    // The reason of a failure, or an empty text when the file was written.
    // The old file is replaced only after every byte reached the disk; on any
    // failure it stays as it was and no temporary file is left behind.
    // An exception thrown by the writer leaves the old file too and reaches
    // the caller.
    static QString Write(const QString &path, const std::function<void(QIODevice &)> &write);
    static QString Write(const QString &path, const QByteArray &bytes);

    // Installs the system calls the writer uses (nullptr: the real ones) and
    // returns the ones installed before.
    static IFileSystemCalls *SetSystemCalls(IFileSystemCalls *calls);
};
