#include "canvas/table_refresh.h"

#include "model/diagram_table.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "platform/user_interface.h"

bool TTableRefresh::RefreshFromDatabase(TDiagramTable &table)
{
    if (!THelpers::IsConnected()) {
        UserInterface().ShowInformation(QStringLiteral("Not logged on."));
        return false;
    }
    std::unique_ptr<TDiagramTable> fresh = DatabaseSession->GetTable(table.Owner, table.Name);
    if (fresh->Name.isEmpty()) {
        UserInterface().ShowInformation(QStringLiteral("Table '") + table.Owner + QLatin1Char('.') + table.Name
                                        + QStringLiteral("' could not be found in the database."));
        return false;
    }
    fresh->Top = table.Top;
    fresh->Left = table.Left;
    fresh->Height = table.Height;
    fresh->Width = table.Width;
    // The flag is only carried over: the table was just fetched, asking the
    // database again would find the same.
    fresh->StoreReloadFromDatabase(table.ReloadFromDatabase());
    void *box = table.Graphic;
    table.Clear();
    table.Assign(*fresh);
    for (TDiagramForeignKey *key : table.ForeignKeys)
        key->Table = &table;
    table.Graphic = box;
    return true;
}
