#include "dbtools/dictionary_ddl.h"

#include "dbtools/oracle_session.h"
#include "model/diagram_column.h"
#include "model/model_errors.h"
#include "model/oracle_name.h"
#include "model/result_set.h"

namespace {

QString Text(const TOSResultSet &rows, int row, const char *column)
{
    return rows.GetRow(row)->GetValueByName(QLatin1String(column)).toString();
}

int Number(const TOSResultSet &rows, int row, const char *column)
{
    return rows.GetRow(row)->GetValueByName(QLatin1String(column)).toInt();
}

TSqlBinds OwnerAndName(const QString &owner, const QString &name)
{
    return {{QStringLiteral("owner"), owner}, {QStringLiteral("name"), name}};
}

QString Statement(const QString &text) { return text + QStringLiteral("\n/\n"); }

[[noreturn]] void Missing(const char *kind, const QString &owner, const QString &name)
{
    throw EModelError(QStringLiteral("The %1 %2 is not in the data dictionary.")
                          .arg(QLatin1String(kind), OracleName::Qualified(owner, name)));
}

// An attribute's or element's type: another type by its owner's name, with
// REF where the dictionary says so.
QString TypeText(const QString &modifier, const QString &typeOwner, const QString &typeName, int length,
                 int precision, int scale)
{
    const QString type = typeOwner.isEmpty()
                             ? TDiagramColumn::FormatDataType(typeName, precision, length, scale)
                             : OracleName::Qualified(typeOwner, typeName);
    return modifier == QLatin1String("REF") ? QStringLiteral("REF ") + type : type;
}

QString ViewDDL(TOracleSession &session, const QString &owner, const QString &name)
{
    const TSqlBinds binds = OwnerAndName(owner, name);
    auto view = session.DictionaryQuery(QStringLiteral("select TEXT\nfrom SYS.ALL_VIEWS\n"
                                                       "where OWNER = :owner and VIEW_NAME = :name"),
                                        binds);
    if (view->RowCount() == 0)
        Missing("view", owner, name);
    auto columns = session.DictionaryQuery(QStringLiteral("select COLUMN_NAME\nfrom SYS.ALL_TAB_COLUMNS\n"
                                                          "where OWNER = :owner and TABLE_NAME = :name\n"
                                                          "order by COLUMN_ID"),
                                           binds);
    QStringList names;
    for (int i = 0; i < columns->RowCount(); ++i)
        names << OracleName::Quote(Text(*columns, i, "COLUMN_NAME"));
    QString text = QStringLiteral("CREATE OR REPLACE FORCE VIEW ") + OracleName::Qualified(owner, name);
    if (!names.isEmpty())
        text += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QLatin1Char(')');
    return Statement(text + QStringLiteral(" AS\n") + Text(*view, 0, "TEXT").trimmed());
}

QString CollectionDDL(TOracleSession &session, const QString &owner, const QString &name, const QString &head)
{
    auto rows = session.DictionaryQuery(
        QStringLiteral("select COLL_TYPE, UPPER_BOUND, ELEM_TYPE_MOD, ELEM_TYPE_OWNER, ELEM_TYPE_NAME, LENGTH, "
                       "PRECISION, SCALE\nfrom SYS.ALL_COLL_TYPES\n"
                       "where OWNER = :owner and TYPE_NAME = :name"),
        OwnerAndName(owner, name));
    if (rows->RowCount() == 0)
        Missing("collection type", owner, name);
    const QString collection = Text(*rows, 0, "COLL_TYPE") == QLatin1String("TABLE")
                                   ? QStringLiteral("TABLE")
                                   : QStringLiteral("VARRAY(%1)").arg(Number(*rows, 0, "UPPER_BOUND"));
    return Statement(head + QStringLiteral(" AS ") + collection + QStringLiteral(" OF ") +
                     TypeText(Text(*rows, 0, "ELEM_TYPE_MOD"), Text(*rows, 0, "ELEM_TYPE_OWNER"),
                              Text(*rows, 0, "ELEM_TYPE_NAME"), Number(*rows, 0, "LENGTH"),
                              Number(*rows, 0, "PRECISION"), Number(*rows, 0, "SCALE")));
}

QString TypeDDL(TOracleSession &session, const QString &owner, const QString &name)
{
    const TSqlBinds binds = OwnerAndName(owner, name);
    auto type = session.DictionaryQuery(QStringLiteral("select TYPECODE, FINAL, INSTANTIABLE, SUPERTYPE_OWNER, "
                                                       "SUPERTYPE_NAME\nfrom SYS.ALL_TYPES\n"
                                                       "where OWNER = :owner and TYPE_NAME = :name"),
                                        binds);
    if (type->RowCount() == 0)
        Missing("type", owner, name);
    const QString head = QStringLiteral("CREATE OR REPLACE TYPE ") + OracleName::Qualified(owner, name);
    if (Text(*type, 0, "TYPECODE") == QLatin1String("COLLECTION"))
        return CollectionDDL(session, owner, name, head);
    // A subtype is written with what it adds; UNDER brings what it inherits.
    auto attributes = session.DictionaryQuery(
        QStringLiteral("select ATTR_NAME, ATTR_TYPE_MOD, ATTR_TYPE_OWNER, ATTR_TYPE_NAME, LENGTH, PRECISION, SCALE\n"
                       "from SYS.ALL_TYPE_ATTRS\nwhere OWNER = :owner and TYPE_NAME = :name and INHERITED = 'NO'\n"
                       "order by ATTR_NO"),
        binds);
    auto methods = session.DictionaryQuery(QStringLiteral("select METHOD_NAME\nfrom SYS.ALL_TYPE_METHODS\n"
                                                          "where OWNER = :owner and TYPE_NAME = :name and "
                                                          "INHERITED = 'NO'\norder by METHOD_NO"),
                                           binds);
    QString text;
    if (methods->RowCount() > 0) {
        // A method's parameters and its body are not in these views; a type
        // without them is one the server takes.
        QStringList names;
        for (int i = 0; i < methods->RowCount(); ++i)
            names << Text(*methods, i, "METHOD_NAME");
        text = QStringLiteral("/* Methods left out, their parameters and body are not in the data dictionary: ") +
               names.join(QStringLiteral(", ")) + QStringLiteral(" */\n");
    }
    const QString supertype = Text(*type, 0, "SUPERTYPE_NAME");
    text += head + (supertype.isEmpty()
                        ? QStringLiteral(" AS OBJECT")
                        : QStringLiteral(" UNDER ") + OracleName::Qualified(Text(*type, 0, "SUPERTYPE_OWNER"), supertype));
    QStringList lines;
    for (int i = 0; i < attributes->RowCount(); ++i)
        lines << QStringLiteral("  ") + OracleName::Quote(Text(*attributes, i, "ATTR_NAME")) + QLatin1Char(' ') +
                     TypeText(Text(*attributes, i, "ATTR_TYPE_MOD"), Text(*attributes, i, "ATTR_TYPE_OWNER"),
                              Text(*attributes, i, "ATTR_TYPE_NAME"), Number(*attributes, i, "LENGTH"),
                              Number(*attributes, i, "PRECISION"), Number(*attributes, i, "SCALE"));
    // A subtype may add nothing but a name; a list it writes may not be empty.
    if (!lines.isEmpty() || supertype.isEmpty())
        text += QStringLiteral("\n(\n") + lines.join(QStringLiteral(",\n")) + QStringLiteral("\n)");
    if (Text(*type, 0, "FINAL") == QLatin1String("NO"))
        text += QStringLiteral(" NOT FINAL");
    if (Text(*type, 0, "INSTANTIABLE") == QLatin1String("NO"))
        text += QStringLiteral(" NOT INSTANTIABLE");
    return Statement(text);
}

QString SequenceDDL(TOracleSession &session, const QString &owner, const QString &name)
{
    auto rows = session.DictionaryQuery(
        QStringLiteral("select MIN_VALUE, MAX_VALUE, INCREMENT_BY, CYCLE_FLAG, ORDER_FLAG, CACHE_SIZE, LAST_NUMBER\n"
                       "from SYS.ALL_SEQUENCES\nwhere SEQUENCE_OWNER = :owner and SEQUENCE_NAME = :name"),
        OwnerAndName(owner, name));
    if (rows->RowCount() == 0)
        Missing("sequence", owner, name);
    const int cache = Number(*rows, 0, "CACHE_SIZE");
    // The next number to hand out is where a new copy starts.
    return Statement(QStringLiteral("CREATE SEQUENCE ") + OracleName::Qualified(owner, name) +
                     QStringLiteral("\n  MINVALUE ") + Text(*rows, 0, "MIN_VALUE") + QStringLiteral("\n  MAXVALUE ") +
                     Text(*rows, 0, "MAX_VALUE") + QStringLiteral("\n  INCREMENT BY ") +
                     Text(*rows, 0, "INCREMENT_BY") + QStringLiteral("\n  START WITH ") +
                     Text(*rows, 0, "LAST_NUMBER") +
                     (cache > 0 ? QStringLiteral("\n  CACHE ") + QString::number(cache) : QStringLiteral("\n  NOCACHE")) +
                     (Text(*rows, 0, "ORDER_FLAG") == QLatin1String("Y") ? QStringLiteral("\n  ORDER")
                                                                          : QStringLiteral("\n  NOORDER")) +
                     (Text(*rows, 0, "CYCLE_FLAG") == QLatin1String("Y") ? QStringLiteral("\n  CYCLE")
                                                                          : QStringLiteral("\n  NOCYCLE")));
}

QString SynonymDDL(TOracleSession &session, const QString &owner, const QString &name)
{
    auto rows = session.DictionaryQuery(QStringLiteral("select TABLE_OWNER, TABLE_NAME, DB_LINK\n"
                                                       "from SYS.ALL_SYNONYMS\n"
                                                       "where OWNER = :owner and SYNONYM_NAME = :name"),
                                        OwnerAndName(owner, name));
    if (rows->RowCount() == 0)
        Missing("synonym", owner, name);
    const QString link = Text(*rows, 0, "DB_LINK");
    const bool isPublic = owner == QLatin1String("PUBLIC");
    return Statement(QStringLiteral("CREATE OR REPLACE ") +
                     (isPublic ? QStringLiteral("PUBLIC SYNONYM ") + OracleName::Quote(name)
                               : QStringLiteral("SYNONYM ") + OracleName::Qualified(owner, name)) +
                     QStringLiteral(" FOR ") +
                     OracleName::Qualified(Text(*rows, 0, "TABLE_OWNER"), Text(*rows, 0, "TABLE_NAME")) +
                     (link.isEmpty() ? QString() : QLatin1Char('@') + link));
}

} // namespace

bool TDictionaryDDL::Builds(const QString &kind)
{
    return kind == QLatin1String("VIEW") || kind == QLatin1String("TYPE") || kind == QLatin1String("SEQUENCE") ||
           kind == QLatin1String("SYNONYM");
}

QString TDictionaryDDL::Build(TOracleSession &session, const QString &kind, const QString &owner,
                              const QString &name)
{
    if (kind == QLatin1String("VIEW"))
        return ViewDDL(session, owner, name);
    if (kind == QLatin1String("TYPE"))
        return TypeDDL(session, owner, name);
    if (kind == QLatin1String("SEQUENCE"))
        return SequenceDDL(session, owner, name);
    if (kind == QLatin1String("SYNONYM"))
        return SynonymDDL(session, owner, name);
    throw EModelError(QStringLiteral("There is no DDL for the %1 %2.").arg(kind.toLower(), owner + '.' + name));
}
