// The explorers beside the diagram: owners and the Entities list.
#include "shell/main_form.h"

#include "dbtools/gui_helpers.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/result_set.h"
#include "platform/user_interface.h"

#include <QComboBox>
#include <QTreeWidget>

void Tfrmgui::SelectOwner(QComboBox *combo)
{
    // Owners are stored in capitals while users log on as they like: the
    // entries are matched whatever their letter case.
    const Qt::MatchFlags anyCase = Qt::MatchFixedString;
    int index = Preferences->LastFilter.isEmpty() ? -1 : combo->findText(Preferences->LastFilter, anyCase);
    if (index < 0 && THelpers::IsConnected())
        index = combo->findText(DatabaseSession->GetUsername(), anyCase);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

void Tfrmgui::FillOwnerCombo(QComboBox *combo)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    if (!THelpers::IsConnected())
        return;
    std::unique_ptr<TOSResultSet> owners = DatabaseSession->GetOwners();
    combo->addItem(QStringLiteral("All Owners"));
    if (owners) {
        for (int i = 0; i < owners->RowCount(); ++i)
            combo->addItem(owners->GetRow(i)->GetValueByName(QStringLiteral("OWNER")).toString());
    }
    combo->setCurrentIndex(0);
}

void Tfrmgui::FillEntitiesList(const QString &owner)
{
    lvwTables->setUpdatesEnabled(false);
    lvwTables->clear();
    TGUIHelpers::AddTablesToList(lvwTables, owner);
    TGUIHelpers::AddObjectTablesToList(lvwTables, owner);
    TGUIHelpers::AddTypesToList(lvwTables, owner);
    lvwTables->sortItems(0, Qt::AscendingOrder);
    lvwTables->resizeColumnToContents(0);
    lvwTables->setUpdatesEnabled(true);
}

void Tfrmgui::cboTableOwnersChange()
{
    THourglass hourglass;
    const int index = cboTableOwners->currentIndex();
    FillOwnerCombo(cboTableOwners);
    if (index < cboTableOwners->count())
        cboTableOwners->setCurrentIndex(index);
    FillEntitiesList(cboTableOwners->currentText() == QLatin1String("All Owners") ? QString()
                                                                                   : cboTableOwners->currentText());
    Preferences->LastFilter = cboTableOwners->currentText();
}
