#pragma once
// TGUIHelpers: the configuration directory, the preferences file name and the
// filling of the Entities list from the data dictionary of the session.
#include "dbtools/dictionary_lister.h"
#include "model/model_globals.h"

#include <QString>
#include <QMetaType>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;


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
    // The item's TDBObjectData record, as the explorers and drag lists take it.
    static constexpr int DataRole = 0x0100 + 4;
    static TDBObjectData ItemData(const QTreeWidgetItem *item);
};

Q_DECLARE_METATYPE(TDBObjectData)
