#pragma once
// The canvas fixture with what the page commands reach: the reader's rebuild
// hook and a recorder of the SQL editor windows they open.
#include "canvas_fixture.h"

#include "canvas/sql_windows.h"
#include "model/model_hooks.h"

#include <QStringList>

#include <vector>

namespace {

// The reader rebuilds the page through this hook, as the main window's does.
class TRebuildHook : public IDiagramCanvas {
public:
    void Rebuild() override
    {
        ++Rebuilds;
        if (CurrentDiagram)
            CurrentDiagram->Rebuild();
    }
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &) override {}
    int Rebuilds = 0;
};

class TRecordingSqlWindows : public ISqlWindows {
public:
    void ShowScript(const QStringList &lines) override { Scripts.push_back(lines); }
    void RunQuery(const QString &sql) override { Queries << sql; }
    std::vector<QStringList> Scripts;
    QStringList Queries;
};

class CanvasCommands : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        TModelHooks::Canvas = &rebuild;
        TSqlWindows::SetHook(&windows);
        model->Style.FontSize = 8;
        model->Style.HeaderFontSize = 10;
        model->Style.LinkFontSize = 7;
    }
    void TearDown() override
    {
        TSqlWindows::SetHook(nullptr);
        TModelHooks::Canvas = nullptr;
        CanvasTest::TearDown();
    }
    QRect RectOf(const TBaseDiagramRectangle *r) const { return QRect(r->Left, r->Top, r->Width, r->Height); }
    QStringList Names(const TOSBaseList &list) const
    {
        QStringList names;
        for (const TBaseModelObject *object : list.Items())
            names << object->Name;
        return names;
    }
    // A table with an unsorted mix of key and plain columns.
    TDiagramTable *KeyedTable(const QString &name, int left, int top)
    {
        TDiagramTable *table = AddTable(*model, "HR", name, left, top, 150, 90);
        AddColumn(*table, "ZETA");
        AddColumn(*table, "ALPHA");
        AddColumn(*table, "ID");
        AddPrimaryKey(*table, name + "_PK", {"ID"});
        return table;
    }

    TRebuildHook rebuild;
    TRecordingSqlWindows windows;
};

} // namespace
