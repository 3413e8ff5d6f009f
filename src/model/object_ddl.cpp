// The Oracle DDL of tables and their parts, and the scripts of a whole page
// or of the selection.
#include "model/ddl_text.h"
#include "model/diagram_index.h"
#include "model/diagram_key.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/model_globals.h"
#include "model/oracle_name.h"

#include <QLocale>

namespace {

const QLatin1String CrLf("\r\n");

QDateTime nowOverride;

// Long time formats of most locales end in the zone ("t"), which a script
// stamp does not want: the stamp reads as the user's wall-clock time.
QString WithoutTimeZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            result += c;
        } else if (!quoted && c == QLatin1Char('t')) {
            while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t'))
                ++i;
            while (!result.isEmpty() && result.back().isSpace())
                result.chop(1);
        } else {
            result += c;
        }
    }
    return result.trimmed();
}

using OracleName::Quote;

QString Qualified(const QString &owner, const QString &name) { return TDdlText::QualifiedName(owner, name); }

// Column names of a key or index, each written as SQL needs it.
QString NameList(const QStringList &names)
{
    QString text;
    for (const QString &name : names) {
        if (!text.isEmpty())
            text += QLatin1Char(',');
        text += Quote(name);
    }
    return text;
}

QString KeyHeader(const QString &tableOwner, const QString &tableName, const QString &keyName)
{
    return QLatin1String("ALTER TABLE ") + Qualified(tableOwner, tableName) + CrLf
           + QLatin1String("  ADD CONSTRAINT ") + Quote(keyName);
}

template <class List>
void AppendStatements(QStringList &lines, const List &list, const QString &owner, const QString &name)
{
    for (const auto *item : list)
        lines << item->GetDDL(owner, name);
}

void AppendKeyStatements(QStringList &lines, const TDiagramTable &table)
{
    AppendStatements(lines, table.PrimaryKeys, table.Owner, table.Name);
    AppendStatements(lines, table.UniqueKeys, table.Owner, table.Name);
    AppendStatements(lines, table.ForeignKeys, table.Owner, table.Name);
}

// True when a primary or unique key of the table would take Index as its own:
// the server makes a key use an existing index whose leading columns are the
// key's columns, in any order, and refuses a second index on a list it already
// indexes. Such an index must therefore be made before the key.
bool ServesAKey(const TDiagramIndex &index, const TDiagramTable &table)
{
    auto serves = [&index](const auto &keys) {
        for (const auto *key : keys) {
            const qsizetype count = key->Columns.size();
            if (count == 0 || count > index.Columns.size())
                continue;
            QStringList leading = index.Columns.mid(0, count);
            QStringList columns = key->Columns;
            leading.sort();
            columns.sort();
            if (leading == columns)
                return true;
        }
        return false;
    };
    return serves(table.PrimaryKeys) || serves(table.UniqueKeys);
}

void AppendTableScript(QStringList &lines, const TDiagramTable &table)
{
    lines << QLatin1String("/*  ") + TDdlText::CommentText(table.Name) + QLatin1String("  */");
    lines << table.GetDDL(true);
}

} // namespace

// Text conventions ---------------------------------------------------------------

QString TDdlText::ListText(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += CrLf;
    }
    return text;
}

QString TDdlText::Statement(const QString &body) { return body + QLatin1String("\r\n/\r\n"); }

QString TDdlText::Literal(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

bool TDdlText::IsBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > ' ')
            return false;
    }
    return true;
}

QString TDdlText::DateTimeText(const QDateTime &moment)
{
    const QLocale locale;
    const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ')
           + locale.toString(moment.time(), WithoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

QString TDdlText::QualifiedName(const QString &owner, const QString &name)
{
    return Quote(owner) + QLatin1Char('.') + Quote(name);
}

QString TDdlText::CommentText(const QString &text)
{
    if (!text.contains(QLatin1String("*/")))
        return text;
    QString safe = text;
    return safe.replace(QLatin1String("*/"), QLatin1String("* /"));
}

namespace {

// The next character of a text with every CR LF and lone CR read as LF.
QChar NextOfLine(const QString &text, qsizetype &i)
{
    const QChar c = text.at(i++);
    if (c != QLatin1Char('\r'))
        return c;
    if (i < text.size() && text.at(i) == QLatin1Char('\n'))
        ++i;
    return QLatin1Char('\n');
}

} // namespace

bool TDdlText::SameText(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (NextOfLine(a, i) != NextOfLine(b, j))
            return false;
    }
    return i == a.size() && j == b.size();
}

QDateTime TDdlText::Now() { return nowOverride.isValid() ? nowOverride : QDateTime::currentDateTime(); }

void TDdlText::SetNowOverride(const QDateTime &moment) { nowOverride = moment; }

// Keys, check constraints and indexes -------------------------------------------

QString TDiagramPrimaryKey::GetDDL(const QString &tableOwner, const QString &tableName) const
{
    return TDdlText::Statement(KeyHeader(tableOwner, tableName, Name) + QLatin1String(" PRIMARY KEY (")
                               + NameList(Columns) + QLatin1Char(')'));
}

QString TDiagramUniqueKey::GetDDL(const QString &tableOwner, const QString &tableName) const
{
    return TDdlText::Statement(KeyHeader(tableOwner, tableName, Name) + QLatin1String(" UNIQUE (")
                               + NameList(Columns) + QLatin1Char(')'));
}

QString TDiagramForeignKey::GetDDL(const QString &tableOwner, const QString &tableName) const
{
    QString body = KeyHeader(tableOwner, tableName, Name) + QLatin1String(" FOREIGN KEY (")
                   + NameList(Columns) + QLatin1Char(')') + CrLf
                   + QLatin1String("  REFERENCES ") + Qualified(RefTableOwner, RefTableName) + QLatin1Char('(')
                   + NameList(RefColumns) + QLatin1Char(')');
    const QString rule = OnDelete.toUpper();
    if (rule == QLatin1String("CASCADE"))
        body += CrLf + QLatin1String("  ON DELETE CASCADE");
    else if (rule == QLatin1String("SET NULL"))
        body += CrLf + QLatin1String("  ON DELETE SET NULL");
    return TDdlText::Statement(body);
}

QString TDiagramCheckConstraint::GetDDL(const QString &tableOwner, const QString &tableName) const
{
    return TDdlText::Statement(KeyHeader(tableOwner, tableName, Name) + CrLf + QLatin1String("  CHECK (")
                               + CheckText + QLatin1Char(')'));
}

QString TDiagramIndex::GetDDL(const QString &, const QString &) const
{
    const QString type = IndexType.toUpper();
    QString create;
    if (type == QLatin1String("NORMAL"))
        create = QStringLiteral("CREATE INDEX ");
    else if (type == QLatin1String("BITMAP"))
        create = QStringLiteral("CREATE BITMAP INDEX ");
    else if (type == QLatin1String("UNIQUE"))
        create = QStringLiteral("CREATE UNIQUE INDEX ");
    else
        return TDdlText::Statement(QString()); // function-based and other kinds are not scripted
    return TDdlText::Statement(create + Qualified(Owner, Name) + QLatin1String(" ON ")
                               + Qualified(TableOwner, TableName) + QLatin1String(" (")
                               + NameList(Columns) + QLatin1Char(')'));
}

// Tables ----------------------------------------------------------------------

QString TDiagramTable::GetDDL(bool addTerminator) const
{
    const QString table = Qualified(Owner, Name);
    QStringList lines;
    lines << QLatin1String("CREATE TABLE ") + table << QStringLiteral("(");
    int width = 1;
    for (const TDiagramColumn *column : Columns)
        width = std::max(width, static_cast<int>(Quote(column->Name).size()));
    const int last = Columns.Count() - 1;
    int i = 0;
    for (const TDiagramColumn *column : Columns) {
        QString line = QLatin1String("  ") + column->GetDdlText(width);
        if (i++ < last)
            line += QLatin1Char(',');
        lines << line;
    }
    lines << QStringLiteral(")");
    if (addTerminator)
        lines << QStringLiteral("/");
    lines << QString();
    for (const TDiagramIndex *index : Indexes)
        if (ServesAKey(*index, *this))
            lines << index->GetDDL(Owner, Name);
    AppendKeyStatements(lines, *this);
    AppendStatements(lines, CheckConstraints, Owner, Name);
    for (const TDiagramIndex *index : Indexes)
        if (!ServesAKey(*index, *this))
            lines << index->GetDDL(Owner, Name);
    for (const TDiagramColumn *column : Columns) {
        if (!TDdlText::IsBlank(column->Comment))
            lines << TDdlText::Statement(QLatin1String("COMMENT ON COLUMN ") + table + QLatin1Char('.')
                                         + Quote(column->Name) + QLatin1String(" IS ")
                                         + TDdlText::Literal(column->Comment));
    }
    // The last statement ends at its "/": the list's own line break follows.
    if (!TDdlText::IsBlank(Comment))
        lines << QLatin1String("COMMENT ON TABLE ") + table + QLatin1String(" IS ") + TDdlText::Literal(Comment)
                     + CrLf + QLatin1Char('/');
    return TDdlText::ListText(lines);
}

QString TDiagramObjectTable::GetDDL(bool addTerminator) const
{
    QStringList lines;
    lines << QLatin1String("CREATE TABLE ") + Qualified(Owner, Name);
    lines << QLatin1String(" OF ") + Qualified(TypeOwner, TypeName);
    if (addTerminator)
        lines << QStringLiteral("/");
    lines << QString();
    AppendKeyStatements(lines, *this);
    return TDdlText::ListText(lines);
}

// Scripts of a page -------------------------------------------------------------

void TDiagramObjectModel::WriteDdlHeader(QStringList &list) const
{
    list << QStringLiteral("/**");
    list << QLatin1String("  *  ") + TDdlText::CommentText(Name) + QLatin1String(" DDL generated by Marrowtide");
    list << QLatin1String("  *  ") + TDdlText::DateTimeText(TDdlText::Now());
    list << QStringLiteral("  */");
    list << QString();
}

QStringList TDiagramObjectModel::BuildModelDdl() const
{
    QStringList lines;
    WriteDdlHeader(lines);
    for (const TDiagramObjectTable *table : ObjectTables)
        AppendTableScript(lines, *table);
    for (const TDiagramTable *table : Tables)
        AppendTableScript(lines, *table);
    return lines;
}

QStringList TDiagramObjectModel::BuildSelectionDdl() const
{
    QStringList lines;
    WriteDdlHeader(lines);
    if (!SelectedGraphics)
        return lines;
    for (const TBaseModelObject *item : SelectedGraphics->Items()) {
        if (const auto *table = dynamic_cast<const TDiagramTable *>(item))
            AppendTableScript(lines, *table);
    }
    return lines;
}
