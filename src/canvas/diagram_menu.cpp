#include "canvas/diagram_menu.h"

#include "canvas/dom_tree.h"
#include "canvas/drag_objects.h"
#include "canvas/menu_items.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "canvas/sql_windows.h"
#include "canvas/table_refresh.h"
#include "dbtools/console_helper.h"
#include "model/diagram_object_model.h"
#include "model/helpers.h"
#include "model/java_generator.h"
#include "model/model_globals.h"
#include "model/result_set.h"
#include "platform/canvas.h"
#include "platform/rect.h"
#include "platform/user_interface.h"

#include <QMenu>
#include <QRegularExpression>

namespace {

// A command can run after its table left the page (a later command of the
// same moment, a page change): it then does nothing.
bool OnPage(const TDiagramTable *table)
{
    return table && CurrentModel
           && (CurrentModel->Tables.Contains(table) || CurrentModel->ObjectTables.Contains(table));
}

TCanvas *MeasuringCanvas() { return CurrentDiagram ? CurrentDiagram->SurfaceCanvas() : nullptr; }

void FitBox(TDiagramTable *table)
{
    if (TOSGraphic *box = TOSGraphic::BoxOf(table))
        box->setGeometry(box->x(), box->y(), table->Width, table->Height);
    if (CurrentDiagram)
        CurrentDiagram->Refresh();
}

void RebuildPage()
{
    if (CurrentDiagram)
        CurrentDiagram->Rebuild();
}

// The one selected object, or null when there are none or several.
TBaseModelObject *LoneSelection()
{
    return SelectedGraphics && SelectedGraphics->Count() == 1 ? SelectedGraphics->GetItem(0) : nullptr;
}

QStringList ScriptLines(const QString &text)
{
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void ReportJavaFile(const QString &fileName, bool opened)
{
    TConsoleHelper::WriteLine(QStringLiteral("Java source written to \"%1\"").arg(fileName));
    if (!opened)
        ShowWhereSaved(QStringLiteral("Java source"), fileName);
}

} // namespace

QMenu *TDiagramMenu::BuildPopup(QWidget *control)
{
    QPointer<QMenu> old = Popup;
    Graphic = control;
    Popup = new QMenu(control);
    Popup->setObjectName(QStringLiteral("DiagramMenu"));
    QMenu *popup = Popup;
    QObject::connect(popup, &QMenu::aboutToShow, popup, [this, popup] { MenuPopup(popup); });
    FillItems(popup);
    // The old menu may be the one whose item is running now.
    if (old)
        old->deleteLater();
    return popup;
}

void TDiagramMenu::MenuPopup(QMenu *popup)
{
    if (auto *box = qobject_cast<TOSGraphic *>(Graphic.data()))
        box->GraphicMouseUp();
    FillItems(popup);
}

void TDiagramMenu::FillItems(QMenu *popup)
{
    popup->clear();
    for (QMenu *submenu : popup->findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
        delete submenu;
    TDiagramTable *table = Table;
    if (!table)
        return;
    const bool connected = THelpers::IsConnected();
    const auto add = [popup](const QString &caption, int image, std::function<void()> command) {
        return TMenuItems::Add(popup, caption, image, popup, std::move(command));
    };
    const auto check = [](QMenu *menu, const QString &caption, bool checked, std::function<void()> command) {
        return TMenuItems::AddChecked(menu, caption, checked, menu, std::move(command));
    };

    check(popup, QStringLiteral("&Pin to Database"), table->ReloadFromDatabase(), [table] { TogglePin(table); })
        ->setEnabled(connected);
    add(QStringLiteral("&Refresh from Database"), 2, [table] { RefreshFromDatabase(table); })->setEnabled(connected);

    QMenu *sort = popup->addMenu(QStringLiteral("&Sort Columns"));
    check(sort, QStringLiteral("&Creation Order"), table->ColumnSortMethod == csmCreation,
          [table] { SortColumns(table, csmCreation); });
    check(sort, QStringLiteral("&Alphabetical"), table->ColumnSortMethod == csmAlpha,
          [table] { SortColumns(table, csmAlpha); });
    check(sort, QStringLiteral("&Keys First"), table->ColumnSortMethod == csmKeys,
          [table] { SortColumns(table, csmKeys); });

    QMenu *show = popup->addMenu(QStringLiteral("Show Columns"));
    check(show, QStringLiteral("&All"), !table->ShowOnlyKeyColumns, [table] { ShowColumns(table, false); });
    check(show, QStringLiteral("&Only Keys"), table->ShowOnlyKeyColumns, [table] { ShowColumns(table, true); });
    TMenuItems::Add(show, QStringLiteral("&None"), -1, show, [table] { FoldColumns(table); });
    popup->addSeparator();

    add(QStringLiteral("&Cut"), 5, [] {
        if (CurrentDiagram)
            CurrentDiagram->CutToClipboard();
    });
    add(QStringLiteral("&Copy"), 4, [] {
        if (CurrentDiagram)
            CurrentDiagram->CopyToClipboard();
    });
    add(QStringLiteral("&Hide"), 6, [] {
        if (CurrentDiagram)
            CurrentDiagram->DeleteSelected();
    });
    QMenu *order = popup->addMenu(QStringLiteral("&Order"));
    TMenuItems::Add(order, QStringLiteral("&Foreground"), -1, order, [] { MoveSelection(true); });
    TMenuItems::Add(order, QStringLiteral("&Background"), -1, order, [] { MoveSelection(false); });
    popup->addSeparator();

    popup->setDefaultAction(add(QStringLiteral("&Edit..."), 25, [] { EditSelected(); }));
    add(QStringLiteral("&Generate DDL..."), 23, [] {
        if (CurrentDiagram)
            CurrentDiagram->GenerateSelectedDDL();
    });
    add(QStringLiteral("&Generate DB Delta DDL..."), 34, [table] { GenerateDatabaseDelta(table); })
        ->setEnabled(connected);
    add(QStringLiteral("&Query Data..."), 24, [] { QuerySelectedData(); })->setEnabled(connected);
    popup->addSeparator();

    QMenu *references = popup->addMenu(QStringLiteral("&Add References"));
    references->setEnabled(connected);
    TMenuItems::Add(references, QStringLiteral("&References with Foreign Key"), -1, references,
                    [table] { AddReferences(table, true); });
    TMenuItems::Add(references, QStringLiteral("&Referenced by Foreign Key"), -1, references,
                    [table] { AddReferences(table, false); });
    popup->addSeparator();

    QMenu *code = popup->addMenu(QStringLiteral("&Generate Code"));
    TMenuItems::Add(code, QStringLiteral("&Java Bean..."), -1, code, [table] { GenerateJavaBean(table); });
    TMenuItems::Add(code, QStringLiteral("&Java DAO..."), -1, code, [table] { GenerateJavaDao(table); });
}

void TDiagramMenu::TogglePin(TDiagramTable *table)
{
    if (!OnPage(table))
        return;
    if (!THelpers::IsConnected()) {
        UserInterface().ShowInformation(QStringLiteral("Not logged on."));
        return;
    }
    if (table->ReloadFromDatabase()) {
        table->SetReloadFromDatabase(false);
        return;
    }
    // The refresh looks the table up and says when it is gone; asking the
    // database first as well would say it twice.
    table->StoreReloadFromDatabase(true);
    RefreshFromDatabase(table);
}

void TDiagramMenu::RefreshFromDatabase(TDiagramTable *table)
{
    if (OnPage(table) && TTableRefresh::RefreshFromDatabase(*table))
        RebuildPage();
}

void TDiagramMenu::SortColumns(TDiagramTable *table, int method)
{
    if (!OnPage(table))
        return;
    table->Columns.SortColumns(method, table);
    if (CurrentDiagram)
        CurrentDiagram->Refresh();
}

void TDiagramMenu::ShowColumns(TDiagramTable *table, bool onlyKeys)
{
    if (!OnPage(table))
        return;
    table->ShowOnlyKeyColumns = onlyKeys;
    TCanvas *canvas = MeasuringCanvas();
    table->Height = table->CalcHeight(canvas);
    table->Width = table->CalcWidth(canvas);
    FitBox(table);
}

void TDiagramMenu::FoldColumns(TDiagramTable *table)
{
    TCanvas *canvas = MeasuringCanvas();
    if (!OnPage(table) || !canvas)
        return;
    table->Height = 19;
    table->Width = canvas->TextWidth(table->Name) + 10;
    FitBox(table);
}

void TDiagramMenu::MoveSelection(bool foreground)
{
    if (!CurrentModel || !SelectedGraphics)
        return;
    // The selected objects keep their order among themselves: they go to the
    // end in list order, or to the start from the last to the first.
    for (TOSBaseList *list : {static_cast<TOSBaseList *>(&CurrentModel->Notes),
                              static_cast<TOSBaseList *>(&CurrentModel->Tables),
                              static_cast<TOSBaseList *>(&CurrentModel->ObjectTables),
                              static_cast<TOSBaseList *>(&CurrentModel->Types)}) {
        std::vector<TBaseModelObject *> moving;
        for (TBaseModelObject *object : list->Items())
            if (SelectedGraphics->Contains(object))
                moving.push_back(object);
        if (foreground) {
            for (TBaseModelObject *object : moving) {
                list->Extract(object);
                list->Insert(list->Count(), object);
            }
        } else {
            for (auto it = moving.rbegin(); it != moving.rend(); ++it) {
                list->Extract(*it);
                list->Insert(0, *it);
            }
        }
    }
    RebuildPage();
}

void TDiagramMenu::EditSelected()
{
    TBaseModelObject *object = LoneSelection();
    if (!object || !CurrentModel)
        return;
    if (auto *table = dynamic_cast<TDiagramTable *>(object))
        CurrentModel->EditTable(table);
    else if (dynamic_cast<TDiagramType *>(object))
        CurrentModel->RefreshExplorer();
    else if (auto *note = dynamic_cast<TDiagramNote *>(object))
        CurrentModel->EditNote(note);
    else
        return;
    // The editor may have rebuilt the page: the box is looked up afresh.
    QPointer<TOSGraphic> box = TOSGraphic::BoxOf(dynamic_cast<TBaseDiagramObject *>(object));
    if (box)
        box->update();
    TDOMTree::RefreshExplorerTree();
    if (box) {
        box->GraphicMouseDown(Qt::LeftButton, false, 0, 0);
        box->GraphicMouseUp();
    }
}

void TDiagramMenu::GenerateDatabaseDelta(TDiagramTable *table)
{
    if (!DatabaseSession || !OnPage(table))
        return;
    if (!THelpers::IsConnected()) {
        UserInterface().ShowInformation(QStringLiteral("Not connected to a database."));
        return;
    }
    const QString script = table->BuildDatabaseDeltaDdl();
    TSqlWindows::ShowScript(script.trimmed().isEmpty() ? QStringList{QStringLiteral("/* no differences found */")}
                                                       : ScriptLines(script));
}

void TDiagramMenu::QuerySelectedData()
{
    TBaseModelObject *object = LoneSelection();
    if (!object)
        return;
    if (!THelpers::IsConnected()) {
        UserInterface().ShowInformation(QStringLiteral("Not connected to a database."));
        return;
    }
    if (auto *table = dynamic_cast<TDiagramTable *>(object))
        TSqlWindows::RunQuery(DatabaseSession->GetQueryDataSQL(table->Owner, table->Name));
}

void TDiagramMenu::AddReferences(TDiagramTable *table, bool referenced)
{
    if (!DatabaseSession || !OnPage(table) || !CurrentDiagram)
        return;
    const int x = ClampShown(qint64(table->Left) + table->Width + 10);
    const int y = ClampShown(qint64(table->Top) + table->Height + 10);
    const std::unique_ptr<TOSResultSet> rows = referenced
                                                   ? DatabaseSession->GetReferencedTables(table->Owner, table->Name)
                                                   : DatabaseSession->GetReferencingTables(table->Owner, table->Name);
    if (!rows || rows->RowCount() == 0) {
        UserInterface().ShowInformation(QStringLiteral("No referenced tables found."));
        return;
    }
    TDragObjects list;
    for (int i = 0; i < rows->RowCount(); ++i) {
        const TOSRow *row = rows->GetRow(i);
        const QString owner = row->GetValueByName(QStringLiteral("REF_TABLE_OWNER")).toString();
        const QString name = row->GetValueByName(QStringLiteral("REF_TABLE_NAME")).toString();
        if (owner == table->Owner && name == table->Name)
            continue;
        list.Add(owner, name, ReferencedKind(*rows, i));
    }
    CurrentDiagram->DropObjects(list, x, y);
}

void TDiagramMenu::GenerateJavaBean(TDiagramTable *table)
{
    if (!OnPage(table))
        return;
    bool opened = false;
    {
        THourglass hourglass;
        opened = TJavaUtils::GenerateJavaBean(*table);
    }
    ReportJavaFile(TJavaUtils::BeanFileName(), opened);
}

void TDiagramMenu::GenerateJavaDao(TDiagramTable *table)
{
    if (!OnPage(table))
        return;
    bool opened = false;
    {
        THourglass hourglass;
        opened = TJavaUtils::GenerateJavaDao(*table);
    }
    ReportJavaFile(TJavaUtils::DaoFileName(), opened);
}
