#pragma once
// TGUIHelpers: the configuration directory, the preferences file name and the
// filling of the Entities list from the data dictionary.
#include <QString>
#include <QStringList>

class QTreeWidget;

// Sessions that can list the objects of an owner offer this as well; an empty
// owner means all owners. Each entry is "OWNER.NAME".
class IDictionaryLister {
public:
    virtual ~IDictionaryLister() = default;
    virtual QStringList ListTables(const QString &owner) = 0;
    virtual QStringList ListObjectTables(const QString &owner) = 0;
    virtual QStringList ListTypes(const QString &owner) = 0;
};

class TGUIHelpers {
public:
    TGUIHelpers() = delete;

    // The stored "ConfigDir"; when none is stored, the program's folder (or the
    // per-user data folder when that cannot be written), which is then stored.
    static QString GetConfigDir();
    // Stores the folder when it exists, else the program's folder.
    static void SetConfigDir(const QString &folder);
    static QString GetPreferencesFileName();

    // Append one item per object of the owner while connected; never clear the
    // list. The item's text is "OWNER.NAME"; its data a TDBObjectData record.
    static void AddTablesToList(QTreeWidget *list, const QString &owner);
    static void AddObjectTablesToList(QTreeWidget *list, const QString &owner);
    static void AddTypesToList(QTreeWidget *list, const QString &owner);

    // Item data role holding the kind (0 table, 1 object table, 2 type); the
    // owner and name follow in the next two roles.
    static constexpr int KindRole = 0x0100 + 1; // Qt::UserRole + 1
    static constexpr int OwnerRole = 0x0100 + 2;
    static constexpr int NameRole = 0x0100 + 3;
};
