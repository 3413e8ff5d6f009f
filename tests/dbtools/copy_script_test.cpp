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

// A name holding "*/" cannot end the heading of a table's rows early.
TEST(CopyScript, TableScriptHeadingOfANameThatEndsAComment)
{
    TOSResultSet rows;
    rows.AddColumn("ID");
    rows.AddRow()->SetValue(0, 7);
    EXPECT_EQ(TCopyScript::TableScript("HR", "A*/B", {{"ID", "NUMBER"}}, rows),
              "/*  HR.\"A* /B\": 1 row(s)  */\r\nINSERT INTO HR.\"A*/B\" (ID)\r\nVALUES (7)\r\n/\r\n\r\n");
}

// Parents load before their children; tables that reference each other come
// together, in name order; references to themselves or to tables not copied
// change nothing.
TEST(CopyScript, ParentsComeBeforeTheirChildren)
{
    // "child>parent,parent" per table; groups of the order joined by " ",
    // tables of a cycle by "+".
    const std::pair<QString, QString> cases[] = {
        {"Z; M>Z; A>M", "Z M A"},
        {"COUNTRIES>REGIONS; DEPARTMENTS>LOCATIONS,EMPLOYEES; EMPLOYEES>DEPARTMENTS,JOBS,EMPLOYEES; JOBS; "
         "JOB_HISTORY>EMPLOYEES,JOBS,DEPARTMENTS; LOCATIONS>COUNTRIES; REGIONS",
         "JOBS REGIONS COUNTRIES LOCATIONS DEPARTMENTS+EMPLOYEES JOB_HISTORY"},
        {"A>B; B>C; C>A; D>OTHER.T; E>D,E", "A+B+C D E"},
        {"Y>X; X>W; W>X; B>Y", "W+X Y B"},
        {"B; A; A", "A B"},
        {"A>C; B>P; C>P; P", "P B C A"}, // B and C wait for P alone: B goes first
    };
    for (const auto &[graph, expected] : cases) {
        QStringList tables;
        QHash<QString, QStringList> parents;
        for (const QString &entry : graph.split("; ")) {
            tables << entry.section('>', 0, 0);
            if (entry.contains('>'))
                parents[tables.last()] = entry.section('>', 1).split(',');
        }
        QStringList groups;
        for (const QStringList &group : TCopyScript::CopyOrder(tables, parents))
            groups << group.join('+');
        EXPECT_EQ(groups.join(' '), expected) << graph.toStdString();
    }
    EXPECT_EQ(TCopyScript::CycleComment({"HR.A*/B", "HR.C"}),
              "/*  HR.A* /B, HR.C reference each other: their rows follow in name order; disable their foreign keys "
              "while they load  */\r\n\r\n");
}
