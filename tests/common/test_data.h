#pragma once
// Paths of fixtures and golden files, and a helper to compare a generated text
// with its golden file (set MARROWTIDE_UPDATE_GOLDEN=1 to rewrite them).
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QString>
#include <gtest/gtest.h>

inline QString testDataPath(const QString &relative)
{
    return QStringLiteral(MARROWTIDE_TEST_DATA) + QLatin1Char('/') + relative;
}

inline QByteArray readTestFile(const QString &relative)
{
    QFile f(testDataPath(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Compares bytes with tests/data/golden/<name>; rewrites the file instead when
// MARROWTIDE_UPDATE_GOLDEN is set, so a deliberate change is one command.
inline void expectGolden(const QString &name, const QByteArray &actual)
{
    const QString path = testDataPath(QStringLiteral("golden/") + name);
    if (qEnvironmentVariableIsSet("MARROWTIDE_UPDATE_GOLDEN")) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(actual);
        return;
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "missing golden file " << path.toStdString();
    const QByteArray expected = f.readAll();
    EXPECT_EQ(expected.toStdString(), actual.toStdString()) << "golden file " << name.toStdString();
}

// Rows of a table of cases kept in tests/data: one case a line, fields split
// by tabs; blank lines and lines starting with "#" are comments. "\n", "\r"
// and "\t" in a field stand for those characters.
inline QList<QStringList> readTestTable(const QString &relative)
{
    QList<QStringList> rows;
    const QString text = QString::fromUtf8(readTestFile(relative));
    EXPECT_FALSE(text.isEmpty()) << "missing table " << relative.toStdString();
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields = line.split(QLatin1Char('\t'));
        for (QString &field : fields)
            field.replace(QLatin1String("\\n"), QLatin1String("\n"))
                .replace(QLatin1String("\\r"), QLatin1String("\r"))
                .replace(QLatin1String("\\t"), QLatin1String("\t"));
        rows << fields;
    }
    return rows;
}
