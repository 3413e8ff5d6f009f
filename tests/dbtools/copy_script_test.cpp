// Literals and names of the copy script: every value the way its column's
// type needs it, and nothing of the data able to end a literal early.
#include "dbtools/copy_script.h"
#include "model/oracle_name.h"
#include "model/result_set.h"
#include "test_data.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

QVariant Value(const QString &kind, const QString &text)
{
    const QHash<QString, std::function<QVariant()>> kinds = {
        {"null", [] { return QVariant(); }},
        {"nulltext", [] { return QVariant(QMetaType(QMetaType::QString)); }},
        {"int", [&] { return QVariant(text.toInt()); }},
        {"long", [&] { return QVariant(text.toLongLong()); }},
        {"double", [&] { return QVariant(text.toDouble()); }},
        {"datetime", [&] { return QVariant(QDateTime::fromString(text, Qt::ISODateWithMs)); }},
        {"date", [&] { return QVariant(QDate::fromString(text, Qt::ISODate)); }},
        {"bytes", [&] { return QVariant(QByteArray::fromHex(text.toLatin1())); }},
    };
    return kinds.contains(kind) ? kinds[kind]() : QVariant(QString(text).replace("\\n", "\n"));
}

} // namespace

TEST(CopyScript, LiteralsByType)
{
    int cases = 0;
    for (const QString &line : QString::fromUtf8(readTestFile("copy_literals.txt")).split('\n')) {
        const QStringList parts = line.split(" | ");
        if (line.startsWith('#') || parts.size() != 3)
            continue;
        const QString kind = parts[0].section(':', 0, 0), text = parts[0].section(':', 1);
        EXPECT_EQ(kind == "name" ? OracleName::Quote(text) : TCopyScript::Literal(Value(kind, text), parts[1]),
                  QString(parts[2]).replace("\\n", "\n")) << line.toStdString();
        ++cases;
    }
    EXPECT_EQ(cases, 26);
}

TEST(CopyScript, TableScriptKeepsTheColumnsOfTheRows)
{
    TOSResultSet rows;
    for (const char *column : {"JOB_ID", "MIN_SALARY", "START_DATE"})
        rows.AddColumn(column);
    TOSRow *row = rows.AddRow();
    row->SetValue(0, QStringLiteral("AD_PRES"));
    row->SetValue(1, 20080);
    row->SetValue(2, QStringLiteral("2001-01-13 00:00:00"));
    rows.AddRow()->SetValue(0, QStringLiteral("IT'S"));
    const QList<TCopyColumn> columns = {{"JOB_ID", "VARCHAR2"}, {"min salary", "NUMBER"}, {"START_DATE", "DATE"}};
    expectGolden("copy_script_jobs.txt", TCopyScript::TableScript("HR", "Jobs", columns, rows).toUtf8());
}
