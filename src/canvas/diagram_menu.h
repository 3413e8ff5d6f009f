#pragma once
// TDiagramMenu: the context menu of one table, on its box or on its node in
// the model explorer tree. Its items act on the table or on the selection.
#include <QPointer>

class QMenu;
class QWidget;
class TDiagramTable;

class TDiagramMenu {
public:
    TDiagramMenu() = default;
    TDiagramMenu(const TDiagramMenu &) = delete;
    TDiagramMenu &operator=(const TDiagramMenu &) = delete;

    // A new popup menu owned by the control, which the caller makes the
    // control's menu; the previous one goes.
    QMenu *BuildPopup(QWidget *control);
    // Each time the menu opens: a box ends its mouse gesture, and the items
    // are made again so that the check marks show the table's settings.
    void MenuPopup(QMenu *popup);
    void FillItems(QMenu *popup);

    // The commands of the items; each checks that its table is still on the
    // current page.
    static void TogglePin(TDiagramTable *table);
    static void RefreshFromDatabase(TDiagramTable *table);
    static void SortColumns(TDiagramTable *table, int method);
    static void ShowColumns(TDiagramTable *table, bool onlyKeys);
    static void FoldColumns(TDiagramTable *table);
    // Moves the selected objects to the end (or start) of their lists, so
    // their boxes lie above (or beneath) the others of their kind.
    static void MoveSelection(bool foreground);
    static void EditSelected();
    static void GenerateDatabaseDelta(TDiagramTable *table);
    static void QuerySelectedData();
    // Adds the tables the table references (or that reference it) below and
    // right of it, as a drop from the database explorer would.
    static void AddReferences(TDiagramTable *table, bool referenced);
    static void GenerateJavaBean(TDiagramTable *table);
    static void GenerateJavaDao(TDiagramTable *table);

    QPointer<QWidget> Graphic;
    TDiagramTable *Table = nullptr;
    QPointer<QMenu> Popup;
};
