#pragma once
// Paths of fixtures and golden files, and a helper to compare a generated text
// with its golden file (set MARROWTIDE_UPDATE_GOLDEN=1 to rewrite them).
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
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

// The rows of a table of cases in tests/data/<name>: one case a line, fields
// separated by '|' and trimmed; blank lines and lines starting with '#' are
// skipped.
inline QList<QStringList> readCases(const QString &name)
{
    QList<QStringList> rows;
    for (const QByteArray &line : readTestFile(name).split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields = text.split(QLatin1Char('|'));
        for (QString &field : fields)
            field = field.trimmed();
        rows << fields;
    }
    EXPECT_FALSE(rows.isEmpty()) << "no cases in " << name.toStdString();
    return rows;
}

// The whitespace-separated integers of a field.
inline QList<int> caseInts(const QString &field)
{
    QList<int> values;
    for (const QString &word : field.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values << word.toInt(nullptr, 0);
    return values;
}

// Like readCases, for cases whose spaces and '|' matter: fields split by tabs
// and kept as they stand; "\n", "\r" and "\t" in a field stand for those
// characters.
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
