#include "platform/read_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TFileIdentity identityOf(const struct stat &st)
{
    TFileIdentity identity;
    identity.Kind = S_ISREG(st.st_mode) ? TFileKind::Regular : S_ISFIFO(st.st_mode) ? TFileKind::Pipe : TFileKind::Other;
    identity.Device = quint64(st.st_dev);
    identity.Inode = quint64(st.st_ino);
    identity.Size = qint64(st.st_size);
    identity.ModifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    identity.ChangedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return identity;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

int pipeWait = 5000;

const QString NotAFile = QStringLiteral("It is not a file but a folder, a device or a socket.");

} // namespace

TFileIdentity TFileIdentity::OfPath(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return identityOf(st);
}

QString TReadFile::Open(const QString &path)
{
    if (TFileIdentity::OfPath(path).Kind == TFileKind::Other)
        return NotAFile;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return systemError(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return systemError(error);
    }
    m_opened = identityOf(st);
    // Replaced by something else between the look and the open.
    if (m_opened.Kind == TFileKind::Other) {
        ::close(fd);
        return NotAFile;
    }
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return m_file.errorString();
    }
    return {};
}

TFileIdentity TReadFile::Now() const
{
    struct stat st;
    if (!m_file.isOpen() || ::fstat(m_file.handle(), &st) != 0)
        return {};
    return identityOf(st);
}

qint64 TReadFile::MemoryLimit()
{
    qint64 memory = qint64(::sysconf(_SC_PHYS_PAGES)) * qint64(::sysconf(_SC_PAGESIZE));
    for (const int resource : {RLIMIT_AS, RLIMIT_DATA}) {
        struct rlimit limit;
        if (::getrlimit(resource, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            memory = std::min(memory, qint64(limit.rlim_cur));
    }
    return memory / 8;
}

int TReadFile::PipeWait()
{
    return pipeWait;
}

void TReadFile::SetPipeWait(int milliseconds)
{
    pipeWait = milliseconds;
}

qint64 TReadFile::ReadPipe(char *data, qint64 size)
{
    // The pipe stays non-blocking: a read that finds nothing returns at once,
    // and the wait for more is a poll that gives up.
    for (;;) {
        const ssize_t read = ::read(m_file.handle(), data, size_t(size));
        if (read > 0) {
            m_pipeStarted = true;
            return read;
        }
        // Nothing, and no program has the pipe open for writing: its end, or
        // no writer yet.
        if (read == 0 && m_pipeStarted)
            return 0;
        if (read < 0 && errno != EAGAIN && errno != EINTR)
            return -1;
        struct pollfd wait = {m_file.handle(), POLLIN, 0};
        const int ready = ::poll(&wait, 1, pipeWait);
        if (ready == 0)
            return -2;
        if (ready < 0 && errno != EINTR)
            return -1;
        if (ready > 0)
            m_pipeStarted = true;
    }
}
