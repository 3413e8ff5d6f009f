#include "dbtools/extract_script.h"

#include "dbtools/db_object_tree.h"
#include "dbtools/oracle_session.h"
#include "model/ddl_text.h"
#include "model/diagram_table.h"
#include "model/helpers.h"
#include "model/model_errors.h"
#include "model/oracle_name.h"
#include "model/result_set.h"

#include <QHash>
#include <QSet>

namespace {

QString Text(const TOSResultSet &rows, int row, const char *column)
{
    return rows.GetRow(row)->GetValueByName(QLatin1String(column)).toString();
}

QString Listed(const QString &owner, const QString &name) { return owner + QLatin1Char('.') + name; }

} // namespace

std::vector<TExtractScript::TTypeUse> TExtractScript::ReadTypeUses(TOracleSession &session, const QString &owner)
{
    // A subtype's inherited attributes are listed again under it; its
    // supertype stands for them.
    auto rows = session.DictionaryQuery(
        QStringLiteral("select TYPE_NAME, ATTR_TYPE_OWNER as USED_OWNER, ATTR_TYPE_NAME as USED_NAME, "
                       "ATTR_TYPE_MOD as MODIFIER\nfrom SYS.ALL_TYPE_ATTRS\n"
                       "where OWNER = :owner and INHERITED = 'NO' and ATTR_TYPE_OWNER is not null\n"
                       "union all\n"
                       "select TYPE_NAME, ELEM_TYPE_OWNER, ELEM_TYPE_NAME, ELEM_TYPE_MOD\nfrom SYS.ALL_COLL_TYPES\n"
                       "where OWNER = :owner and ELEM_TYPE_OWNER is not null\n"
                       "union all\n"
                       "select TYPE_NAME, SUPERTYPE_OWNER, SUPERTYPE_NAME, null\nfrom SYS.ALL_TYPES\n"
                       "where OWNER = :owner and SUPERTYPE_NAME is not null"),
        {{QStringLiteral("owner"), owner}});
    std::vector<TTypeUse> uses;
    for (int i = 0; i < rows->RowCount(); ++i)
        uses.push_back({Listed(owner, Text(*rows, i, "TYPE_NAME")),
                        Listed(Text(*rows, i, "USED_OWNER"), Text(*rows, i, "USED_NAME")),
                        Text(*rows, i, "MODIFIER") == QLatin1String("REF")});
    return uses;
}

std::vector<TExtractScript::TOrderedType> TExtractScript::OrderTypes(const QStringList &names,
                                                                     const std::vector<TTypeUse> &uses)
{
    const QSet<QString> listed(names.cbegin(), names.cend());
    QHash<QString, QStringList> byValue, byRef;
    for (const TTypeUse &use : uses) {
        if (use.Used == use.Type || !listed.contains(use.Type) || !listed.contains(use.Used))
            continue; // a type may REF itself; others' types exist already
        (use.ByRef ? byRef : byValue)[use.Type] << use.Used;
    }
    QSet<QString> made, declared;
    const auto all = [](const QStringList &list, const auto &holds) {
        for (const QString &name : list)
            if (!holds(name))
                return false;
        return true;
    };
    const auto isMade = [&made](const QString &name) { return made.contains(name); };
    const auto isKnown = [&](const QString &name) { return made.contains(name) || declared.contains(name); };
    QStringList waiting = names;
    std::vector<TOrderedType> ordered;
    while (!waiting.isEmpty()) {
        // Best a type whose REFs need no declaration; then one whose REFs
        // close a cycle; a cycle by value no server makes keeps its place.
        qsizetype next = -1;
        for (qsizetype i = 0; i < waiting.size() && next < 0; ++i)
            if (all(byValue.value(waiting[i]), isMade) && all(byRef.value(waiting[i]), isKnown))
                next = i;
        for (qsizetype i = 0; i < waiting.size() && next < 0; ++i)
            if (all(byValue.value(waiting[i]), isMade))
                next = i;
        if (next < 0)
            next = 0;
        TOrderedType type{waiting.takeAt(next), {}};
        for (const QString &used : byRef.value(type.Name)) {
            if (!isKnown(used) && !type.Declare.contains(used))
                type.Declare << used;
        }
        for (const QString &used : type.Declare)
            declared.insert(used);
        made.insert(type.Name);
        ordered.push_back(type);
    }
    return ordered;
}

QString TExtractScript::DeclarationDDL(const QString &qualifiedName)
{
    return QStringLiteral("CREATE TYPE ") +
           OracleName::Qualified(THelpers::GetOwnerName(qualifiedName), THelpers::GetObjectName(qualifiedName)) +
           QStringLiteral("\n/\n");
}

TExtractScript::TTableDDL TExtractScript::TableDDL(TOracleSession &session, int nodeCode,
                                                   const QString &qualifiedName)
{
    const QString owner = THelpers::GetOwnerName(qualifiedName);
    const QString name = THelpers::GetObjectName(qualifiedName);
    TTableDDL result;
    if (session.Connection().IsOracleServer()) {
        result.Ddl = TDBObjectTree::ObjectDDL(session, nodeCode, qualifiedName);
        auto keys = session.DictionaryQuery(
            QStringLiteral("select DBMS_METADATA.GET_DDL('REF_CONSTRAINT', CONSTRAINT_NAME, OWNER) as DDL\n"
                           "from SYS.ALL_CONSTRAINTS\n"
                           "where OWNER = :owner and TABLE_NAME = :name and CONSTRAINT_TYPE = 'R'\n"
                           "order by CONSTRAINT_NAME"),
            {{QStringLiteral("owner"), owner}, {QStringLiteral("name"), name}});
        for (int i = 0; i < keys->RowCount(); ++i)
            result.ForeignKeys += Text(*keys, i, "DDL").trimmed() + QStringLiteral("\n/\n\n");
        return result;
    }
    QStringList leftOut;
    std::unique_ptr<TDiagramTable> table;
    if (nodeCode == TDBObjectTree::ncObjectTable)
        table = session.GetObjectTable(owner, name);
    else
        table = session.ReadTable(owner, name, &leftOut);
    if (table->Name.isEmpty())
        throw EModelError(QStringLiteral("The table %1 is not in the data dictionary.").arg(qualifiedName));
    for (const TDiagramForeignKey *key : table->ForeignKeys)
        result.ForeignKeys += key->GetDDL(table->Owner, table->Name) + QStringLiteral("\r\n");
    table->ForeignKeys.Clear();
    result.Ddl = table->GetDDL(true);
    for (const QString &note : leftOut)
        result.Ddl += QStringLiteral("/* ") + TDdlText::CommentText(note) + QStringLiteral(" */\r\n");
    return result;
}

void TExtractScript::ForeignKeysApart(TOracleSession &session, bool apart)
{
    if (!session.Connection().IsOracleServer())
        return;
    session.DictionaryQuery(
        QStringLiteral("begin\n  DBMS_METADATA.SET_TRANSFORM_PARAM(DBMS_METADATA.SESSION_TRANSFORM, "
                       "'REF_CONSTRAINTS', %1);\nend;")
            .arg(apart ? QStringLiteral("false") : QStringLiteral("true")));
}
