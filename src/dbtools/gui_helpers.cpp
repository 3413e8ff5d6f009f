#include "dbtools/gui_helpers.h"

#include "model/helpers.h"
#include "model/model_globals.h"
#include "platform/config_settings.h"

#include <QDir>
#include <QTreeWidget>

QString TGUIHelpers::GetConfigDir()
{
    QString dir = TConfigSettings::ReadConfigDir();
    if (dir.isEmpty()) {
        dir = TConfigSettings::WritableProgramFolder();
        TConfigSettings::WriteConfigDir(dir);
    }
    return dir;
}

void TGUIHelpers::SetConfigDir(const QString &folder)
{
    if (!folder.isEmpty() && QDir(folder).exists())
        TConfigSettings::WriteConfigDir(folder);
    else
        TConfigSettings::WriteConfigDir(TConfigSettings::WritableProgramFolder());
}

QString TGUIHelpers::GetPreferencesFileName()
{
    QString dir = GetConfigDir();
    while (dir.endsWith(QLatin1Char('/')) && dir.size() > 1)
        dir.chop(1);
    return dir + QStringLiteral("/marrowtide_preferences.config");
}

namespace {

void AddItems(QTreeWidget *list, const QStringList &names, quint8 kind)
{
    for (const QString &qualified : names) {
        auto *item = new QTreeWidgetItem(list);
        item->setText(0, qualified);
        item->setData(0, TGUIHelpers::KindRole, kind);
        item->setData(0, TGUIHelpers::OwnerRole, THelpers::GetOwnerName(qualified));
        item->setData(0, TGUIHelpers::NameRole, THelpers::GetObjectName(qualified));
        item->setData(0, TGUIHelpers::DataRole,
                      QVariant::fromValue(TDBObjectData{THelpers::GetObjectName(qualified),
                                                        THelpers::GetOwnerName(qualified), kind}));
    }
}

IDictionaryLister *ConnectedLister()
{
    if (!THelpers::IsConnected())
        return nullptr;
    return dynamic_cast<IDictionaryLister *>(DatabaseSession.get());
}

} // namespace

void TGUIHelpers::AddTablesToList(QTreeWidget *list, const QString &owner)
{
    if (IDictionaryLister *lister = ConnectedLister(); lister && list)
        AddItems(list, lister->ListTables(owner), 0);
}

void TGUIHelpers::AddObjectTablesToList(QTreeWidget *list, const QString &owner)
{
    if (IDictionaryLister *lister = ConnectedLister(); lister && list)
        AddItems(list, lister->ListObjectTables(owner), 1);
}

void TGUIHelpers::AddTypesToList(QTreeWidget *list, const QString &owner)
{
    if (IDictionaryLister *lister = ConnectedLister(); lister && list)
        AddItems(list, lister->ListTypes(owner), 2);
}

TDBObjectData TGUIHelpers::ItemData(const QTreeWidgetItem *item)
{
    return item ? item->data(0, DataRole).value<TDBObjectData>() : TDBObjectData();
}
