#pragma once
// TReadFile: a user's file opened for reading by its name, once, without
// ever waiting for it to be opened, with what tells whether the file read is
// still the one begun.
#include <QFile>
#include <QString>
#include <QtGlobal>

enum class TFileKind { Missing, Regular, Pipe, Other };

// What a file is as the system sees it. Another program that rewrites a file
// in place keeps its inode and often its size; its time of change moves (to
// the nanosecond where the file system keeps it).
struct TFileIdentity
{
    TFileKind Kind = TFileKind::Missing;
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 Size = -1;
    qint64 ModifiedNs = 0;
    qint64 ChangedNs = 0;
    bool operator==(const TFileIdentity &) const = default;

    static TFileIdentity OfPath(const QString &path);
};

class TReadFile
{
public:
    // Opens Path for reading; the text of the failure, or an empty one.
    // A named pipe is opened without waiting for a program to write to it;
    // reading it waits a while for one. A folder, a device or a socket is not
    // opened at all (a device may act on being opened, /dev/zero never ends).
    QString Open(const QString &path);

    QFile &File() { return m_file; }
    // For a pipe: reads what came, up to Size bytes; 0 at its end, -1 when
    // it cannot be read and -2 when nothing came for PipeWait (no program
    // writes to it, or the one that does has stopped).
    qint64 ReadPipe(char *data, qint64 size);
    static int PipeWait();
    // For tests.
    static void SetPipeWait(int milliseconds);
    TFileKind Kind() const { return m_opened.Kind; }
    // As it was when opened, and as it is now.
    const TFileIdentity &Opened() const { return m_opened; }
    TFileIdentity Now() const;

    // How many bytes of a file may be read into memory: a share of what this
    // process may use, as its text and tree take several times its size.
    static qint64 MemoryLimit();

private:
    QFile m_file;
    TFileIdentity m_opened;
    // Whether the pipe gave something, or woke the wait for it: it is at its
    // end when it then reads nothing.
    bool m_pipeStarted = false;
};
