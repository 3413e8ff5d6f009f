#include "generator/peak_memory.h"

#include <QByteArray>
#include <QFile>

namespace {

double StatusMegabytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

} // namespace

double ResetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    return StatusMegabytes("VmRSS:");
}

double PeakMemoryMegabytes()
{
    return StatusMegabytes("VmHWM:");
}
