// The configuration directory and the Entities list from the sample database.
#include "dbtools/gui_helpers.h"
#include "sample_database.h"

#include <QDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

TEST(GUIHelpers, ConfigDirIsTheProgramFolderUntilAnExistingFolderIsSet)
{
    TConfigFolderScope config;
    const QString folder = config.Folder.path();
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), "");
    EXPECT_EQ(TGUIHelpers::GetConfigDir(), folder);
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), folder) << "the default is stored";
    EXPECT_EQ(TGUIHelpers::GetPreferencesFileName(), folder + "/marrowtide_preferences.config");
    QDir(folder).mkdir("conf");
    TGUIHelpers::SetConfigDir(folder + "/conf");
    EXPECT_EQ(TGUIHelpers::GetConfigDir(), folder + "/conf");
    TGUIHelpers::SetConfigDir(folder + "/missing");
    EXPECT_EQ(TGUIHelpers::GetConfigDir(), folder);
}

// Appended, never cleared, each with its object's record; offline nothing.
TEST(GUIHelpers, TheEntitiesListFillsFromTheSession)
{
    QTreeWidget list;
    new QTreeWidgetItem(&list, {"KEPT.ITEM"});
    const auto fill = [&](const QString &owner) {
        TGUIHelpers::AddTablesToList(&list, owner);
        TGUIHelpers::AddObjectTablesToList(&list, owner);
        TGUIHelpers::AddTypesToList(&list, owner);
    };
    {
        TSampleSessionScope scope("shop");
        fill("SHOP");
        fill("NOBODY");
        scope.Session->Disconnect();
        fill("SHOP");
    }
    fill("");
    QStringList items;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const TDBObjectData data = TGUIHelpers::ItemData(list.topLevelItem(i));
        items << list.topLevelItem(i)->text(0) + "=" + data.Owner + "|" + data.Name + "|" + QString::number(data.Kind);
    }
    EXPECT_EQ(items.join(' '), "KEPT.ITEM=||0 SHOP.CATEGORIES=SHOP|CATEGORIES|0 SHOP.ORDERS=SHOP|ORDERS|0 "
                               "SHOP.ORDER_LINES=SHOP|ORDER_LINES|0 SHOP.PRODUCTS=SHOP|PRODUCTS|0 "
                               "SHOP.PRODUCTS_TAGS_NT=SHOP|PRODUCTS_TAGS_NT|0 SHOP.CUSTOMERS_OT=SHOP|CUSTOMERS_OT|1 "
                               "SHOP.ADDRESS_T=SHOP|ADDRESS_T|2 SHOP.BUSINESS_CUSTOMER_T=SHOP|BUSINESS_CUSTOMER_T|2 "
                               "SHOP.CUSTOMER_T=SHOP|CUSTOMER_T|2 "
                               "SHOP.PHONE_LIST_T=SHOP|PHONE_LIST_T|2 SHOP.TAG_LIST_T=SHOP|TAG_LIST_T|2");
}
