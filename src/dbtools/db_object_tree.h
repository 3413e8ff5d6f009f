#pragma once
// TDBObjectTree: the database explorer tree. Its nodes carry a type code as
// their data and "OWNER.NAME" or a folder caption as their text; folders and
// objects with parts fill their children when first expanded.
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;
class TOracleSession;

class TDBObjectTree {
public:
    TDBObjectTree() = delete;

    // Node type codes (the node's data in column 0, Qt::UserRole).
    enum TNodeCode {
        ncLeaf = 0,
        ncTablesFolder = 1,
        ncViewsFolder = 2,
        ncTable = 3,
        ncView = 4,
        ncPackagesFolder = 5,
        ncPackage = 6,
        ncProceduresFolder = 11,
        ncFunctionsFolder = 12,
        ncProcedure = 13,
        ncFunction = 14,
        ncObjectTablesFolder = 15,
        ncObjectTable = 16,
        ncTypesFolder = 17,
        ncType = 18,
        ncSequencesFolder = 19,
        ncSequence = 20,
        ncSynonymsFolder = 21,
        ncSynonym = 22,
        ncUsersFolder = 24,
        ncTriggersFolder = 25,
        ncGrantsFolder = 26,
        ncObjectSynonymsFolder = 29,
        ncReferencesFolder = 30,
        ncReferencedByFolder = 31,
        ncIndexesFolder = 32,
        ncIndex = 33,
        ncIndexColumnsFolder = 34,
        ncColumnsFolder = 35,
        ncChecksFolder = 37,
    };

    static int NodeCode(const QTreeWidgetItem *node);

    // Clears DBObjectTreeView and adds "Database Objects" with its folders.
    static void BuildRoots();
    static void BuildRoots(QTreeWidget *tree);
    // Fills the node's children once, by its code, under the hourglass.
    // AllowExpansion is false offline or when the dictionary query failed
    // (the reason is shown); an empty filter means all owners.
    static void ExpandNode(QTreeWidgetItem *node, bool &allowExpansion, const QString &ownerFilter);
    // Expands the node and all below it, but not the tables that reference
    // folders list: those open one at a time when clicked.
    static void ExpandAll(QTreeWidgetItem *node, const QString &ownerFilter);
    // Shows the object's DDL in a new SQL editor window in script mode, or
    // says why there is none.
    static void GenerateDDL(int nodeCode, const QString &qualifiedName, const QString &ownerFilter);
    static void GenerateNodeDDL(const QTreeWidgetItem *node, const QString &ownerFilter);
    // Tables, views and object tables: their first rows; sequences: the next value.
    static void QueryData(const QTreeWidgetItem *node, const QString &ownerFilter);
    static void QueryTableData(const QString &qualifiedName, const QString &ownerFilter);

    // The object's DDL text: the server's own on Oracle; on the SQLite
    // dictionary the program's DDL for tables and object tables, and DDL made
    // from the dictionary's rows for views, types, sequences and synonyms.
    // Raises with the reason when there is none.
    static QString ObjectDDL(TOracleSession &session, int nodeCode, const QString &qualifiedName);

private:
    static void FillChildren(TOracleSession &session, QTreeWidgetItem *node, const QString &ownerFilter);
};
