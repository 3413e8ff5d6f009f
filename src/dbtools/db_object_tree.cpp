#include "dbtools/db_object_tree.h"

#include "dbtools/dictionary_ddl.h"
#include "dbtools/oracle_session.h"
#include "dbtools/sql_query_form.h"
#include "model/diagram_table.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/oracle_name.h"
#include "model/result_set.h"
#include "platform/user_interface.h"

#include <QSignalBlocker>
#include <QTreeWidget>

#include <vector>

namespace {

struct TFolder {
    const char *Caption;
    int Code;
};

// The categories under "Database Objects", in the order they are shown.
const TFolder RootFolders[] = {
    {"Tables", TDBObjectTree::ncTablesFolder},         {"Views", TDBObjectTree::ncViewsFolder},
    {"Object Tables", TDBObjectTree::ncObjectTablesFolder}, {"Types", TDBObjectTree::ncTypesFolder},
    {"Packages", TDBObjectTree::ncPackagesFolder},     {"Procedures", TDBObjectTree::ncProceduresFolder},
    {"Functions", TDBObjectTree::ncFunctionsFolder},   {"Sequences", TDBObjectTree::ncSequencesFolder},
    {"Synonyms", TDBObjectTree::ncSynonymsFolder},     {"Users", TDBObjectTree::ncUsersFolder},
};

// The parts of a table; a view has the same but for keys, indexes and checks.
const TFolder TableFolders[] = {
    {"Columns", TDBObjectTree::ncColumnsFolder},
    {"References with Foreign Key", TDBObjectTree::ncReferencesFolder},
    {"Referenced by Foreign Key", TDBObjectTree::ncReferencedByFolder},
    {"Indexes", TDBObjectTree::ncIndexesFolder},
    {"Check Constraints", TDBObjectTree::ncChecksFolder},
    {"Triggers", TDBObjectTree::ncTriggersFolder},
    {"Grants", TDBObjectTree::ncGrantsFolder},
    {"Synonyms", TDBObjectTree::ncObjectSynonymsFolder},
};
const TFolder ViewFolders[] = {
    {"Columns", TDBObjectTree::ncColumnsFolder},
    {"Triggers", TDBObjectTree::ncTriggersFolder},
    {"Grants", TDBObjectTree::ncGrantsFolder},
    {"Synonyms", TDBObjectTree::ncObjectSynonymsFolder},
};

bool IsExpandable(int code)
{
    switch (code) {
    case TDBObjectTree::ncLeaf:
    case TDBObjectTree::ncPackage:
    case TDBObjectTree::ncProcedure:
    case TDBObjectTree::ncFunction:
    case TDBObjectTree::ncObjectTable:
    case TDBObjectTree::ncType:
    case TDBObjectTree::ncSequence:
    case TDBObjectTree::ncSynonym:
        return false;
    default:
        return true;
    }
}

QTreeWidgetItem *AddNode(QTreeWidgetItem *parent, const QString &text, int code)
{
    auto *node = new QTreeWidgetItem(parent, {text});
    node->setData(0, Qt::UserRole, code);
    if (IsExpandable(code))
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return node;
}

void AddFolders(QTreeWidgetItem *parent, const TFolder *begin, const TFolder *end)
{
    for (const TFolder *f = begin; f != end; ++f)
        AddNode(parent, QString::fromLatin1(f->Caption), f->Code);
}

void AddNames(QTreeWidgetItem *parent, const QStringList &names, int code)
{
    for (const QString &name : names)
        AddNode(parent, name, code);
}

// "OWNER.NAME" of each row's first two columns.
void AddRows(QTreeWidgetItem *parent, const TOSResultSet &rows, int code)
{
    for (int i = 0; i < rows.RowCount(); ++i)
        AddNode(parent,
                rows.GetRow(i)->GetCell(0)->Value().toString() + QLatin1Char('.') +
                    rows.GetRow(i)->GetCell(1)->Value().toString(),
                code);
}

// The tables a reference folder lists: object tables as object tables.
void AddReferenceRows(QTreeWidgetItem *parent, const TOSResultSet &rows)
{
    for (int i = 0; i < rows.RowCount(); ++i)
        AddNode(parent,
                rows.GetRow(i)->GetCell(0)->Value().toString() + QLatin1Char('.') +
                    rows.GetRow(i)->GetCell(1)->Value().toString(),
                ReferencedKind(rows, i) == 1 ? TDBObjectTree::ncObjectTable : TDBObjectTree::ncTable);
}

QString Cell(const TOSResultSet &rows, int row, const char *column)
{
    return rows.GetRow(row)->GetValueByName(QLatin1String(column)).toString();
}

// The object whose part a folder lists: the text of the folder's parent.
void FolderObject(const QTreeWidgetItem *folder, QString &owner, QString &name)
{
    const QString text = folder->parent() ? folder->parent()->text(0) : QString();
    owner = THelpers::GetOwnerName(text);
    name = THelpers::GetObjectName(text);
}

TSqlBinds OwnerAndName(const QString &owner, const QString &name)
{
    return {{QStringLiteral("owner"), owner}, {QStringLiteral("name"), name}};
}

TOracleSession *ConnectedSession()
{
    auto *session = dynamic_cast<TOracleSession *>(DatabaseSession.get());
    return session && session->GetConnected() ? session : nullptr;
}

TOracleSession &RequireSession()
{
    TOracleSession *session = ConnectedSession();
    if (!session)
        throw ENotConnected();
    return *session;
}

QString KindName(int code)
{
    switch (code) {
    case TDBObjectTree::ncTable:
    case TDBObjectTree::ncObjectTable:
        return QStringLiteral("TABLE");
    case TDBObjectTree::ncView:
        return QStringLiteral("VIEW");
    case TDBObjectTree::ncPackage:
        return QStringLiteral("PACKAGE");
    case TDBObjectTree::ncProcedure:
        return QStringLiteral("PROCEDURE");
    case TDBObjectTree::ncFunction:
        return QStringLiteral("FUNCTION");
    case TDBObjectTree::ncType:
        return QStringLiteral("TYPE");
    case TDBObjectTree::ncSequence:
        return QStringLiteral("SEQUENCE");
    case TDBObjectTree::ncSynonym:
        return QStringLiteral("SYNONYM");
    default:
        return {};
    }
}

} // namespace

int TDBObjectTree::NodeCode(const QTreeWidgetItem *node)
{
    return node ? node->data(0, Qt::UserRole).toInt() : ncLeaf;
}

void TDBObjectTree::BuildRoots() { BuildRoots(DBObjectTreeView); }

void TDBObjectTree::BuildRoots(QTreeWidget *tree)
{
    if (!tree)
        return;
    tree->clear();
    auto *root = new QTreeWidgetItem(tree, {QStringLiteral("Database Objects")});
    root->setData(0, Qt::UserRole, int(ncLeaf));
    AddFolders(root, std::begin(RootFolders), std::end(RootFolders));
    root->setExpanded(true);
}

void TDBObjectTree::ExpandNode(QTreeWidgetItem *node, bool &allowExpansion, const QString &ownerFilter)
{
    allowExpansion = false;
    TOracleSession *session = ConnectedSession();
    if (!node || !session)
        return;
    if (node->childCount() > 0) {
        allowExpansion = true;
        return;
    }
    THourglass hourglass;
    try {
        FillChildren(*session, node, ownerFilter);
        allowExpansion = true;
    } catch (const std::exception &e) {
        // A half-filled folder would pass for the whole list.
        qDeleteAll(node->takeChildren());
        UserInterface().ShowError(QString::fromUtf8(e.what()));
    }
}

void TDBObjectTree::ExpandAll(QTreeWidgetItem *node, const QString &ownerFilter)
{
    // A table lists the tables it references, which list theirs, and a
    // self-referencing table lists itself: below a reference folder nothing
    // opens by itself.
    std::vector<QTreeWidgetItem *> pending;
    if (node)
        pending.push_back(node);
    while (!pending.empty()) {
        QTreeWidgetItem *item = pending.back();
        pending.pop_back();
        const int code = NodeCode(item);
        if (item->childCount() == 0 && !IsExpandable(code))
            continue;
        bool allow = false;
        ExpandNode(item, allow, ownerFilter);
        if (!allow)
            continue;
        {
            const QSignalBlocker blocker(item->treeWidget());
            item->setExpanded(true);
        }
        if (code == ncReferencesFolder || code == ncReferencedByFolder)
            continue;
        for (int i = item->childCount() - 1; i >= 0; --i)
            pending.push_back(item->child(i));
    }
}

void TDBObjectTree::FillChildren(TOracleSession &session, QTreeWidgetItem *node, const QString &ownerFilter)
{
    QString owner, name;
    const int code = NodeCode(node);
    switch (code) {
    case ncTablesFolder:
        AddNames(node, session.ListTables(ownerFilter), ncTable);
        break;
    case ncViewsFolder:
        AddNames(node, session.ListObjects(QStringLiteral("VIEW"), ownerFilter), ncView);
        break;
    case ncPackagesFolder:
        AddNames(node, session.ListObjects(QStringLiteral("PACKAGE"), ownerFilter), ncPackage);
        break;
    case ncProceduresFolder:
        AddNames(node, session.ListObjects(QStringLiteral("PROCEDURE"), ownerFilter), ncProcedure);
        break;
    case ncFunctionsFolder:
        AddNames(node, session.ListObjects(QStringLiteral("FUNCTION"), ownerFilter), ncFunction);
        break;
    case ncObjectTablesFolder:
        AddNames(node, session.ListObjectTables(ownerFilter), ncObjectTable);
        break;
    case ncTypesFolder:
        AddNames(node, session.ListTypes(ownerFilter), ncType);
        break;
    case ncSequencesFolder:
        AddNames(node, session.ListObjects(QStringLiteral("SEQUENCE"), ownerFilter), ncSequence);
        break;
    case ncSynonymsFolder:
        AddNames(node, session.ListObjects(QStringLiteral("SYNONYM"), ownerFilter), ncSynonym);
        break;
    case ncUsersFolder: {
        auto rows = session.GetOwners();
        for (int i = 0; i < rows->RowCount(); ++i)
            AddNode(node, Cell(*rows, i, "OWNER"), ncLeaf);
        break;
    }
    case ncTable:
        AddFolders(node, std::begin(TableFolders), std::end(TableFolders));
        break;
    case ncView:
        AddFolders(node, std::begin(ViewFolders), std::end(ViewFolders));
        break;
    case ncColumnsFolder: {
        FolderObject(node, owner, name);
        auto rows = session.DictionaryQuery(
            QStringLiteral("select COLUMN_NAME, DATA_TYPE, DATA_LENGTH, DATA_PRECISION, DATA_SCALE, CHAR_LENGTH\n"
                           "from SYS.ALL_TAB_COLUMNS\nwhere OWNER = :owner and TABLE_NAME = :name\n"
                           "order by COLUMN_ID"),
            OwnerAndName(owner, name));
        for (int i = 0; i < rows->RowCount(); ++i) {
            const TOSRow *row = rows->GetRow(i);
            const QString dataType = Cell(*rows, i, "DATA_TYPE");
            const QString type = TDiagramColumn::FormatDataType(
                dataType, row->GetValueByName(QStringLiteral("DATA_PRECISION")).toInt(),
                TOracleSession::DeclaredLength(dataType, row->GetValueByName(QStringLiteral("CHAR_LENGTH")).toInt(),
                                               row->GetValueByName(QStringLiteral("DATA_LENGTH")).toInt()),
                row->GetValueByName(QStringLiteral("DATA_SCALE")).toInt());
            AddNode(node, Cell(*rows, i, "COLUMN_NAME") + QLatin1Char(' ') + type, ncLeaf);
        }
        break;
    }
    case ncReferencesFolder:
        FolderObject(node, owner, name);
        AddReferenceRows(node, *session.GetReferencedTables(owner, name));
        break;
    case ncReferencedByFolder:
        FolderObject(node, owner, name);
        AddReferenceRows(node, *session.GetReferencingTables(owner, name));
        break;
    case ncIndexesFolder: {
        FolderObject(node, owner, name);
        auto rows = session.DictionaryQuery(QStringLiteral("select OWNER, INDEX_NAME\nfrom SYS.ALL_INDEXES\n"
                                                           "where TABLE_OWNER = :owner and TABLE_NAME = :name\n"
                                                           "order by OWNER, INDEX_NAME"),
                                            OwnerAndName(owner, name));
        AddRows(node, *rows, ncIndex);
        break;
    }
    case ncIndex:
        AddNode(node, QStringLiteral("Columns"), ncIndexColumnsFolder);
        break;
    case ncIndexColumnsFolder: {
        FolderObject(node, owner, name);
        auto rows = session.DictionaryQuery(QStringLiteral("select COLUMN_NAME, DESCEND\nfrom SYS.ALL_IND_COLUMNS\n"
                                                           "where INDEX_OWNER = :owner and INDEX_NAME = :name\n"
                                                           "order by COLUMN_POSITION"),
                                            OwnerAndName(owner, name));
        for (int i = 0; i < rows->RowCount(); ++i) {
            const bool descending = Cell(*rows, i, "DESCEND") == QLatin1String("DESC");
            AddNode(node, Cell(*rows, i, "COLUMN_NAME") + (descending ? QStringLiteral(" DESC") : QString()),
                    ncLeaf);
        }
        break;
    }
    case ncChecksFolder: {
        FolderObject(node, owner, name);
        auto rows = session.DictionaryQuery(QStringLiteral("select CONSTRAINT_NAME, SEARCH_CONDITION\n"
                                                           "from SYS.ALL_CONSTRAINTS\n"
                                                           "where OWNER = :owner and TABLE_NAME = :name and "
                                                           "CONSTRAINT_TYPE = 'C'\norder by CONSTRAINT_NAME"),
                                            OwnerAndName(owner, name));
        for (int i = 0; i < rows->RowCount(); ++i)
            AddNode(node, Cell(*rows, i, "CONSTRAINT_NAME") + QStringLiteral(": ") +
                              Cell(*rows, i, "SEARCH_CONDITION"),
                    ncLeaf);
        break;
    }
    case ncTriggersFolder: {
        FolderObject(node, owner, name);
        AddRows(node,
                *session.DictionaryQuery(QStringLiteral("select OWNER, TRIGGER_NAME\nfrom SYS.ALL_TRIGGERS\n"
                                                        "where TABLE_OWNER = :owner and TABLE_NAME = :name\n"
                                                        "order by OWNER, TRIGGER_NAME"),
                                         OwnerAndName(owner, name)),
                ncLeaf);
        break;
    }
    case ncGrantsFolder: {
        FolderObject(node, owner, name);
        auto rows = session.DictionaryQuery(QStringLiteral("select GRANTEE, PRIVILEGE\nfrom SYS.ALL_TAB_PRIVS\n"
                                                           "where TABLE_SCHEMA = :owner and TABLE_NAME = :name\n"
                                                           "order by GRANTEE, PRIVILEGE"),
                                            OwnerAndName(owner, name));
        for (int i = 0; i < rows->RowCount(); ++i)
            AddNode(node, Cell(*rows, i, "GRANTEE") + QStringLiteral(": ") + Cell(*rows, i, "PRIVILEGE"), ncLeaf);
        break;
    }
    case ncObjectSynonymsFolder:
        FolderObject(node, owner, name);
        AddRows(node,
                *session.DictionaryQuery(QStringLiteral("select OWNER, SYNONYM_NAME\nfrom SYS.ALL_SYNONYMS\n"
                                                        "where TABLE_OWNER = :owner and TABLE_NAME = :name\n"
                                                        "order by OWNER, SYNONYM_NAME"),
                                         OwnerAndName(owner, name)),
                ncSynonym);
        break;
    default:
        break;
    }
}

QString TDBObjectTree::ObjectDDL(TOracleSession &session, int nodeCode, const QString &qualifiedName)
{
    const QString owner = THelpers::GetOwnerName(qualifiedName);
    const QString name = THelpers::GetObjectName(qualifiedName);
    const QString kind = KindName(nodeCode);
    if (kind.isEmpty())
        throw EModelError(QStringLiteral("There is no DDL for \"%1\".").arg(qualifiedName));
    if (session.Connection().IsOracleServer()) {
        auto rows = session.DictionaryQuery(
            QStringLiteral("select DBMS_METADATA.GET_DDL(:kind, :name, :owner) as DDL from DUAL"),
            {{QStringLiteral("kind"), kind}, {QStringLiteral("name"), name}, {QStringLiteral("owner"), owner}});
        const QString ddl = rows->RowCount() ? Cell(*rows, 0, "DDL").trimmed() : QString();
        if (ddl.isEmpty())
            throw EModelError(QStringLiteral("The server gave no DDL for %1 %2.").arg(kind.toLower(), qualifiedName));
        return ddl + QStringLiteral("\n/\n");
    }
    if (TDictionaryDDL::Builds(kind))
        return TDictionaryDDL::Build(session, kind, owner, name);
    std::unique_ptr<TDiagramTable> table;
    if (nodeCode == ncTable)
        table = session.GetTable(owner, name);
    else if (nodeCode == ncObjectTable)
        table = session.GetObjectTable(owner, name);
    else
        throw EModelError(QStringLiteral("The DDL of the %1 %2 needs an Oracle server; the SQLite data dictionary "
                                         "does not hold the source of packages, procedures, functions and "
                                         "triggers.")
                              .arg(kind.toLower(), qualifiedName));
    if (table->Name.isEmpty())
        throw EModelError(QStringLiteral("The table %1 is not in the data dictionary.").arg(qualifiedName));
    return table->GetDDL(true);
}

void TDBObjectTree::GenerateDDL(int nodeCode, const QString &qualifiedName, const QString &ownerFilter)
{
    QString ddl;
    {
        THourglass hourglass;
        ddl = ObjectDDL(RequireSession(), nodeCode, qualifiedName);
    }
    TfrmSQLQuery *form = TfrmSQLQuery::Create();
    form->SetScriptMode(true);
    form->SetSQLText(ddl);
}

void TDBObjectTree::GenerateNodeDDL(const QTreeWidgetItem *node, const QString &ownerFilter)
{
    if (node)
        GenerateDDL(NodeCode(node), node->text(0), ownerFilter);
}

void TDBObjectTree::QueryData(const QTreeWidgetItem *node, const QString &ownerFilter)
{
    if (!node)
        return;
    const int code = NodeCode(node);
    if (code == ncTable || code == ncView || code == ncObjectTable) {
        QueryTableData(node->text(0), ownerFilter);
    } else if (code == ncSequence) {
        RequireSession();
        TfrmSQLQuery *form = TfrmSQLQuery::Create();
        const QString name = node->text(0);
        form->SetSQLText(QStringLiteral("select ")
                         + OracleName::Qualified(THelpers::GetOwnerName(name), THelpers::GetObjectName(name))
                         + QStringLiteral(".nextval \nfrom dual"));
        form->RunQuery();
    }
}

void TDBObjectTree::QueryTableData(const QString &qualifiedName, const QString &ownerFilter)
{
    TOracleSession &session = RequireSession();
    TfrmSQLQuery *form = TfrmSQLQuery::Create();
    form->SetSQLText(
        session.GetQueryDataSQL(THelpers::GetOwnerName(qualifiedName), THelpers::GetObjectName(qualifiedName)));
    form->RunQuery();
}
