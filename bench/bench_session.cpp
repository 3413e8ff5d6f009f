// Loading every table of a generated data dictionary through the session on
// its SQLite stand-in, table by table and all together: tables per second for
// 100, 1,000 and 2,000 tables. The cost of one table must not grow with the
// size of the dictionary, and reading them together must be the faster way.
#include "dbtools/oracle_session.h"
#include "dbtools/login_manager.h"
#include "model/diagram_table.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <stdexcept>

namespace {

QByteArray ReadSource(const char *relative)
{
    QFile file(QStringLiteral(MARROWTIDE_SOURCE_DIR "/") + QLatin1String(relative));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("missing ") + relative);
    return file.readAll();
}

void Exec(sqlite3 *db, const QByteArray &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

// Rows of `values` bound in order to a prepared insert.
class TInsert {
public:
    TInsert(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
    ~TInsert() { sqlite3_finalize(m_statement); }
    void Row(std::initializer_list<QVariant> values)
    {
        int i = 1;
        for (const QVariant &v : values) {
            if (v.isNull())
                sqlite3_bind_null(m_statement, i);
            else if (v.typeId() == QMetaType::Int)
                sqlite3_bind_int(m_statement, i, v.toInt());
            else
                sqlite3_bind_text(m_statement, i, v.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
            ++i;
        }
        sqlite3_step(m_statement);
        sqlite3_reset(m_statement);
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

// A dictionary of one owner with `tables` tables: eight columns, a primary
// key, a foreign key to the table before, a check, an index and comments each.
QString MakeDictionary(const QTemporaryDir &dir, int tables)
{
    const QString path = dir.filePath(QStringLiteral("dict_%1.db").arg(tables));
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    Exec(db, ReadSource("tests/data/oracle-dictionary/dictionary.sql"));
    Exec(db, "BEGIN");
    Exec(db, "INSERT INTO ALL_USERS VALUES ('BENCH', 300, '2024-01-01 00:00:00')");
    TInsert table(db, "INSERT INTO ALL_TABLES VALUES ('BENCH', ?, 'USERS', 'NO', NULL, 'N', 'NO')");
    TInsert comment(db, "INSERT INTO ALL_TAB_COMMENTS VALUES ('BENCH', ?, 'TABLE', ?)");
    TInsert column(db, "INSERT INTO ALL_TAB_COLUMNS VALUES ('BENCH', ?, ?, ?, NULL, NULL, ?, ?, ?, ?, ?, NULL, ?, ?)");
    TInsert columnComment(db, "INSERT INTO ALL_COL_COMMENTS VALUES ('BENCH', ?, ?, ?)");
    TInsert constraint(db, "INSERT INTO ALL_CONSTRAINTS VALUES ('BENCH', ?, ?, ?, ?, ?, ?, ?, 'ENABLED', "
                           "'NOT DEFERRABLE', 'IMMEDIATE', 'VALIDATED', 'USER NAME', ?, ?)");
    TInsert consColumn(db, "INSERT INTO ALL_CONS_COLUMNS VALUES ('BENCH', ?, ?, ?, ?)");
    TInsert index(db, "INSERT INTO ALL_INDEXES VALUES ('BENCH', ?, 'NORMAL', 'BENCH', ?, 'TABLE', ?, 'USERS', 'N')");
    TInsert indColumn(db, "INSERT INTO ALL_IND_COLUMNS VALUES ('BENCH', ?, 'BENCH', ?, ?, ?, 22, 'ASC')");
    for (int t = 0; t < tables; ++t) {
        const QString name = QStringLiteral("T%1").arg(t, 5, 10, QLatin1Char('0'));
        const QString pk = name + QStringLiteral("_PK");
        table.Row({name});
        comment.Row({name, QStringLiteral("Table number %1").arg(t)});
        for (int c = 1; c <= 8; ++c) {
            const bool number = c <= 2;
            const QString col = c == 1 ? QStringLiteral("ID") : c == 2 ? QStringLiteral("PARENT_ID")
                                                                        : QStringLiteral("COL_%1").arg(c);
            column.Row({name, col, number ? "NUMBER" : "VARCHAR2", number ? 22 : 40, number ? QVariant(10) : QVariant(),
                        number ? QVariant(0) : QVariant(), c == 1 ? "N" : "Y", c, number ? 0 : 40,
                        number ? QVariant() : QVariant("B")});
            columnComment.Row({name, col, QStringLiteral("Column %1").arg(c)});
        }
        constraint.Row({pk, "P", name, QVariant(), QVariant(), QVariant(), QVariant(), "BENCH", pk});
        consColumn.Row({pk, name, "ID", 1});
        index.Row({pk, name, "UNIQUE"});
        indColumn.Row({pk, name, "ID", 1});
        if (t > 0) {
            const QString fk = name + QStringLiteral("_FK");
            constraint.Row({fk, "R", name, QVariant(), "BENCH", QStringLiteral("T%1_PK").arg(t - 1, 5, 10, QLatin1Char('0')),
                            "CASCADE", QVariant(), QVariant()});
            consColumn.Row({fk, name, "PARENT_ID", 1});
        }
        const QString ck = name + QStringLiteral("_CK");
        constraint.Row({ck, "C", name, "COL_3 <> 'x'", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        consColumn.Row({ck, name, "COL_3", QVariant()});
        const QString ix = name + QStringLiteral("_IX");
        index.Row({ix, name, "NONUNIQUE"});
        indColumn.Row({ix, name, "COL_4", 1});
        indColumn.Row({ix, name, "COL_5", 2});
    }
    Exec(db, "COMMIT");
    Exec(db, ReadSource("scripts/sample/dictionary_indexes.sql"));
    sqlite3_close(db);
    return path;
}

// Each table read alone, or the owner's tables read together.
void LoadAllTables(benchmark::State &state, bool together)
{
    QTemporaryDir dir;
    const int tables = int(state.range(0));
    const QString path = MakeDictionary(dir, tables);
    auto session = TOracleSession::Open({QStringLiteral("bench"), QString(), path});
    QStringList names = session->ListTables(QStringLiteral("BENCH"));
    if (names.size() != tables)
        state.SkipWithError("the generated dictionary lists the wrong tables");
    for (QString &name : names)
        name = name.mid(6);
    for (auto _ : state) {
        if (together) {
            const auto read = session->GetTables(QStringLiteral("BENCH"), names);
            benchmark::DoNotOptimize(read.back()->Columns.Count());
            continue;
        }
        for (const QString &name : names) {
            auto table = session->GetTable(QStringLiteral("BENCH"), name);
            benchmark::DoNotOptimize(table->Columns.Count());
        }
    }
    state.SetItemsProcessed(state.iterations() * tables);
    state.counters["tables_per_second"] =
        benchmark::Counter(double(state.iterations()) * tables, benchmark::Counter::kIsRate);
}

void BM_LoadAllTables(benchmark::State &state) { LoadAllTables(state, false); }
void BM_LoadAllTablesTogether(benchmark::State &state) { LoadAllTables(state, true); }

} // namespace

BENCHMARK(BM_LoadAllTables)->Arg(100)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAllTablesTogether)->Arg(100)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
