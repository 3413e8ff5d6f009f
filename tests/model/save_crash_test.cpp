// A save killed at any moment leaves the user's diagram whole: the old file or
// the new one, never a mixture, and no temporary file once saving resumes.
#include "model/diagram_object_model.h"
#include "model/xml_text.h"
#include "platform/atomic_file.h"
#include "model_builders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <random>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList DiagramLines(int tables, const QString &owner)
{
    TDiagramObjectModel model;
    for (int i = 0; i < tables; ++i) {
        TDiagramTable *table = AddTable(model, owner, QStringLiteral("T%1").arg(i), (i % 70) * 150, (i / 70) * 200);
        for (int c = 0; c < 10; ++c)
            AddColumn(*table, QStringLiteral("COLUMN_%1").arg(c), c % 2 ? "VARCHAR2(40)" : "NUMBER(10)");
        AddPrimaryKey(*table, QStringLiteral("T%1_PK").arg(i), {"COLUMN_0"});
    }
    return model.BuildDiagramXml(true);
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Saves in a child process; the parent kills it after the given delay.
void SaveInChildAndKill(const QByteArray &bytes, const QString &path, int delayMicroseconds)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::_exit(TAtomicFile::Write(path, bytes).isEmpty() ? 0 : 2);
    }
    ::usleep(useconds_t(delayMicroseconds));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
}

TEST(SaveKilled, FileIsAlwaysTheOldOrTheNewOneWhole)
{
    // In memory where the machine has it: a kill is a kill on any file
    // system, and two hundred saves to a real disk would take minutes.
    const QString base = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/save-crash-XXXXXX") : QString();
    QTemporaryDir dir = base.isEmpty() ? QTemporaryDir() : QTemporaryDir(base);
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("schema.xml");
    // The diagram's bytes are made once: the child only saves them, and the
    // parent stays small so that forking it two hundred times is cheap.
    const QByteArray oldBytes = TXmlText::ToFileBytes(DiagramLines(5000, "OLD_OWNER"));
    const QByteArray newBytes = TXmlText::ToFileBytes(DiagramLines(5000, "NEW_OWNER"));

    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(TAtomicFile::Write(path, newBytes), QString());
    const int saveMicroseconds = int(std::max<qint64>(timer.nsecsElapsed() / 1000, 1000));
    ASSERT_EQ(ReadAll(path), newBytes);

    std::mt19937 random(20261207);
    // Up to twice a save: a child starts slower than the parent saves.
    std::uniform_int_distribution<int> moment(0, saveMicroseconds * 2);
    int sawOld = 0, sawNew = 0, leftTemporary = 0;
    for (int run = 0; run < 200; ++run) {
        ASSERT_EQ(TAtomicFile::Write(path, oldBytes), QString());
        ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"schema.xml"});

        SaveInChildAndKill(newBytes, path, moment(random));
        const QByteArray now = ReadAll(path);
        ASSERT_TRUE(now == oldBytes || now == newBytes) << "run " << run << ": " << now.size() << " bytes";
        (now == oldBytes ? sawOld : sawNew)++;
        // Only a kill between naming the finished file and renaming it can
        // leave one; the next save removes it (checked at the loop's top).
        leftTemporary += QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() - 1;
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
    EXPECT_LE(leftTemporary, 5);
    RecordProperty("bytes", int(newBytes.size()));
    RecordProperty("old", sawOld);
    RecordProperty("new", sawNew);
    RecordProperty("temporaries", leftTemporary);
}

} // namespace
